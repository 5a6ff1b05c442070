#pragma once
// CQuitQuestionDlg: the client's yes/no question. The mode names the question: "退出程序",
// "清除账号", "退出登录", "解除绑定" or "丢弃读数" each show their text and title picture; only "确认" answers
// yes, so closing it any other way answers no.

#include <string>
#include <string_view>

#include "toolkit/ui.h"

class CQuitQuestionDlg : public CSkinWnd {
 public:
  struct Result {
    bool confirmed = false;
  };
  Result GetResult() const { return result_; }

  explicit CQuitQuestionDlg(std::string mode) : mode_(std::move(mode)) {}

  void Notify(TNotifyUI& msg) override;

  // The window name callers give the question of a mode.
  static const char* WindowName(std::string_view mode);

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIQuitQuestion"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "QuitQuestionDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool OnSkinReady() override;

 private:
  std::string mode_;
  Result result_;
};

// Asks the question of mode modally over owner; true when the user confirmed.
bool AskQuestion(HWND owner, std::string_view mode);
