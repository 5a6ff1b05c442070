#include "client/ui/menus/user_menu_wnd.h"

#include "client/core/client_messages.h"

bool CUserMenuWnd::OnSkinReady() {
  // The list may have changed since the menu was asked for: a user no longer there logs nobody out.
  const bool loggedIn = userIndex_ < context_.core.users.size() && context_.core.users[userIndex_]->loggedIn;
  if (CControlUI* state = Manager().FindControl("登陆状态")) {
    state->SetText(CStdString(loggedIn ? kLogOutText : kLogInText));
  }
  return true;
}

void CUserMenuWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  if (name == "登陆状态") {
    Choose(msg.pSender->GetText().str() == kLogInText ? 1 : 2);
  } else if (name == "清除账号") {
    Choose(3);
  }
}

void CUserMenuWnd::Choose(WPARAM action) {
  ::PostMessage(context_.mainWindow, client_messages::kMsgUserMenuChoice, action, static_cast<LPARAM>(userIndex_));
  Close();
}

POINT UserMenuPosition(const RECT& mainWindow, size_t userIndex) {
  return POINT{mainWindow.left + 181 * static_cast<int>(userIndex) + 100, mainWindow.top + 69};
}

HWND OpenUserMenu(ClientContext& context, size_t userIndex, POINT topLeft) {
  if (userIndex >= context.core.users.size()) return nullptr;
  auto* menu = popup_menu::Open<CUserMenuWnd>(context.mainWindow, "UserMenuDlg", topLeft, CUserMenuWnd::kSize, context,
                                              userIndex);
  return menu ? menu->GetHWND() : nullptr;
}
