#pragma once
// CUserTixingFrameWnd: the reminder list of one user, dropped below the main window's reminder
// button: the five kinds of reminders with their counts, each a link to its page of the member
// site. It closes as soon as it loses the focus, and tells the main window so.

#include <array>
#include <string>

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class CUserTixingFrameWnd : public CSkinWnd {
 public:
  static constexpr int kOffsetX = 178;
  static constexpr int kOffsetY = 253;
  static constexpr int kWidth = 210;
  static constexpr int kHeight = 145;

  // The counts and the login code are copied now; the context must outlive the window.
  CUserTixingFrameWnd(ClientContext& context, const UserRecord& user);

  void Notify(TNotifyUI& msg) override;

  // The member-site page of reminder kind k (0 friends .. 4 notices) for the user.
  const std::string& Page(size_t k) const { return pages_[k]; }

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIUserTixingFrame"; }
  CStdString GetSkinFile() const override { return "TixingDlg.xml"; }
  bool OnSkinReady() override;
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  // The main window hears once that the list is gone.
  void TellClosed();

  ClientContext& context_;
  ReminderCounts counts_;
  std::array<std::string, 5> pages_;
  bool told_ = false;
};

// Opens the reminder list of the user at userIndex over the main window: a pop-up tool window,
// window name "TixingDlg", at the main window's left + 178, top + 253, 210 by 145, shown with the
// focus; sets context.reminderListOpen, which the list clears when it goes. Null when there is no
// such user or the window cannot be built.
HWND OpenReminderList(ClientContext& context, size_t userIndex);
