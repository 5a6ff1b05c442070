#pragma once
// CAlertDlg: the small pop-up above the notification area. It tells a user of new reminders (with
// a link to the member site) or the result of a sync pass that ran without its progress window.
// Several stand at once, stacked upwards by slot from the bottom right of the work area; each
// fades out after five seconds, or when closed.

#include <string>
#include <string_view>

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class CAlertDlg : public CSkinWnd {
 public:
  static constexpr UINT kCloseTimer = 1;
  static constexpr UINT kShowMs = 5000;
  static constexpr DWORD kFadeMs = 1000;
  static constexpr const char* kUploadSuccess = "uploadsuccess";
  static constexpr const char* kUploadFail = "uploadfail";

  // kind is kUploadSuccess, kUploadFail, or anything else for count reminders of user (may be null
  // for an upload kind). What the alert shows of the user is copied now: the record may go while
  // the alert stands. slot 0 is the lowest.
  CAlertDlg(ClientContext& context, std::string kind, const UserRecord* user, int slot, int count);

  void Notify(TNotifyUI& msg) override;

  // Where an alert of a window size stands in slot: at the screen's right edge, above the work
  // area's bottom, one window height and a pixel higher per slot.
  static POINT PlaceOf(SIZE window, int slot);

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIAlertDlg"; }
  CStdString GetSkinFile() const override { return "AlertDlg.xml"; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool OnSkinReady() override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  void ShowReminder();
  void ShowResult(bool success);
  void Show(const char* control, bool shown);
  // Fades the window out and closes it; once only.
  void FadeAndClose();

  ClientContext& context_;
  std::string kind_;
  int slot_;
  int count_;
  bool hasUser_ = false;
  std::string pictureFile_;  // empty: the skin's default picture
  std::string homePage_;
  bool closing_ = false;
};

// Raises an alert of kind (see CAlertDlg) in slot, modeless and owned by the main window, window
// name "AlertDlg", shown without taking the focus. Nothing happens when it cannot be built.
void RaiseAlert(ClientContext& context, std::string_view kind, const UserRecord* user, int slot, int count);
