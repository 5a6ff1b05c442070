#pragma once
// A window that shows any skin file as the programs' windows do: frameless, clipped to the skin's
// rounded corners, dragged by its caption band; "closebtn" (or Escape) closes it.

#include <string>

#include "toolkit/ui.h"

class CSkinViewWnd : public CWindowWnd, public INotifyUI, public IMessageFilterUI {
 public:
  explicit CSkinViewWnd(std::string skinFile) : skinFile_(std::move(skinFile)) {}

  CPaintManagerUI& Manager() { return pm_; }
  // Clicks seen, for the status label of the sample skin.
  int Clicks() const { return clicks_; }

  void Notify(TNotifyUI& msg) override;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 protected:
  LPCTSTR GetWindowClassName() const override { return "UISkinView"; }
  UINT GetClassStyle() const override { return UI_CLASSSTYLE_DIALOG; }
  void OnFinalMessage(HWND) override { PostQuitMessage(0); }

 private:
  std::string skinFile_;
  CPaintManagerUI pm_;
  int clicks_ = 0;
};
