#pragma once
// CSystemTray: the client's icon in the desktop's notification area. Its events reach the main
// window as the tray message; the main window handles the right button itself (the drop-down) and
// hands everything else here, where a double-click shows the main window. The icon comes back by
// itself when the notification area's host restarts, until it is removed.

#include <memory>
#include <string>

#include "toolkit/desktop/desktop.h"

class CSystemTray {
 public:
  static constexpr UINT kIconId = 103;
  static constexpr const char* kTip = "Vymera同步软件";

  CSystemTray() = default;
  virtual ~CSystemTray();
  CSystemTray(const CSystemTray&) = delete;
  CSystemTray& operator=(const CSystemTray&) = delete;

  // Puts the icon up for mainWindow; false when no icon of any kind can be shown.
  bool Create(HWND mainWindow, const std::string& iconPng);
  // Takes the icon down for good; true when it is gone (also when it never stood).
  bool Remove();
  bool Shown() const { return icon_ && !icon_->IsRemoved(); }

  // An icon event (wParam the icon id, lParam the mouse message): a double-click brings the main
  // window forward and asks it to show itself. 1 when the event was ours.
  virtual LRESULT OnTrayNotification(WPARAM id, LPARAM mouseMessage);

 private:
  std::unique_ptr<toolkit::TrayIcon> icon_;
  HWND target_ = nullptr;
};
