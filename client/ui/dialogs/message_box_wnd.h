#pragma once
// CMessageBoxWnd: the client's short message. A key picks the picture that says it; a key without
// a picture (a refusal code the service invented later) is shown as plain text. It closes by itself
// 1500 ms after it was built; a longer text (a notice with a file's place) stays long enough to be
// read.

#include <string>
#include <string_view>

#include "toolkit/ui.h"

class CMessageBoxWnd : public CSkinWnd {
 public:
  static constexpr UINT kCloseTimer = 1;
  static constexpr UINT kCloseAfterMs = 1500;
  // Texts longer than kShortTextBytes are shown in body type on more lines and stay kReadingMsPerByte
  // longer per byte, up to kLongestMs.
  static constexpr size_t kShortTextBytes = 48;
  static constexpr UINT kReadingMsPerByte = 60;
  static constexpr UINT kLongestMs = 15000;
  // How long the message of key stands.
  static UINT StandsForMs(std::string_view key);

  explicit CMessageBoxWnd(std::string key) : key_(std::move(key)) {}

  // The picture of a key and the control that shows it; both empty for a key without one.
  struct Picture {
    std::string_view control;
    std::string_view image;
  };
  static Picture PictureOf(std::string_view key);

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIMessageBox"; }
  UINT GetClassStyle() const override { return 0x80B; }
  CStdString GetSkinFile() const override { return "MessageBoxDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool OnSkinReady() override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  std::string key_;
};

// Shows the message of key modally over owner, window name "MessageBoxDlg"; returns once it closed.
void ShowClientMessage(HWND owner, std::string_view key);
