#pragma once
// A skinned window for tests, built from skin text or a skin file on the base every window of the
// programs uses: it records the notifications it gets and the Return and Escape keys its filter
// sees.

#include <functional>
#include <string>
#include <vector>

#include "toolkit/ui.h"

namespace toolkit_testing {

struct Seen {
  std::string type;
  std::string sender;
  bool selectedAtNotify = false;
};

class SkinWindow : public CSkinWnd {
 public:
  explicit SkinWindow(std::string skin, IDialogBuilderCallback* callback = nullptr)
      : skin_(std::move(skin)), callback_(callback) {}

  CPaintManagerUI& pm = Manager();
  std::vector<Seen> seen;
  std::vector<WPARAM> keys;
  bool swallowKeys = false;
  bool built = false;
  std::function<void(TNotifyUI&)> onNotify;
  // Messages after creation, before the window pattern sees them; set handled to take one over.
  std::function<LRESULT(UINT, WPARAM, LPARAM, bool&)> onMessage;

  // The window pattern's own answer to WM_NCHITTEST, for hooks that take that message over.
  using CSkinWnd::CaptionHitTest;

  void Notify(TNotifyUI& msg) override;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
  // Notifications of a type (from one sender when given).
  int Count(const std::string& type, const std::string& sender = {}) const;

 protected:
  LPCTSTR GetWindowClassName() const override { return "UISkinTest"; }
  CStdString GetSkinFile() const override { return CStdString(skin_); }
  IDialogBuilderCallback* GetBuilderCallback() override { return callback_; }
  bool OnSkinReady() override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  std::string skin_;
  IDialogBuilderCallback* callback_;
};

}  // namespace toolkit_testing
