#pragma once
// A window that shows any skin file as the programs' windows do: frameless, clipped to the skin's
// rounded corners, dragged by its caption band; "closebtn" (or Escape) closes it, and the program
// ends when it is gone.

#include <string>

#include "toolkit/ui.h"

class CSkinViewWnd : public CSkinWnd {
 public:
  explicit CSkinViewWnd(std::string skinFile) : skinFile_(std::move(skinFile)) {}

  // Clicks seen, for the status label of the sample skin.
  int Clicks() const { return clicks_; }

  void Notify(TNotifyUI& msg) override;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 protected:
  LPCTSTR GetWindowClassName() const override { return "UISkinView"; }
  CStdString GetSkinFile() const override { return CStdString(skinFile_); }
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  std::string skinFile_;
  int clicks_ = 0;
};
