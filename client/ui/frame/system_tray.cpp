#include "client/ui/frame/system_tray.h"

#include "client/core/client_messages.h"
#include "toolkit/core/win_api.h"

CSystemTray::~CSystemTray() { Remove(); }

bool CSystemTray::Create(HWND mainWindow, const std::string& iconPng) {
  icon_ = toolkit::TrayIcon::Create(mainWindow, client_messages::kMsgTrayCallback, kIconId, iconPng, kTip);
  target_ = icon_ ? mainWindow : nullptr;
  return icon_ != nullptr;
}

bool CSystemTray::Remove() { return !icon_ || icon_->Remove(); }

LRESULT CSystemTray::OnTrayNotification(WPARAM id, LPARAM mouseMessage) {
  if (id != kIconId || !target_) return 0;
  if (mouseMessage != WM_LBUTTONDBLCLK) return 0;
  SetForegroundWindow(target_);
  PostMessage(target_, WM_COMMAND, client_messages::kCmdShowMainWindow, 0);
  return 1;
}
