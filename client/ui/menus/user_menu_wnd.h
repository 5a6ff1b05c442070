#pragma once
// CUserMenuWnd: the menu of one user slot. "登陆状态" logs the user in or out as the user stands;
// "清除账号" clears the account. The choice goes to the main window as kMsgUserMenuChoice (wParam
// 1 log in, 2 log out, 3 clear; lParam the user's index), which carries it out; the menu closes.

#include <string_view>

#include "client/ui/client_context.h"
#include "client/ui/menus/popup_menu_wnd.h"

class CUserMenuWnd : public CPopupMenuWnd {
 public:
  static constexpr SIZE kSize{98, 57};
  // The words of "登陆状态", after six blanks that leave room for the icon.
  static constexpr std::string_view kLogInText = "      登陆";
  static constexpr std::string_view kLogOutText = "      退出登陆";

  CUserMenuWnd(ClientContext& context, size_t userIndex) : context_(context), userIndex_(userIndex) {}

  void Notify(TNotifyUI& msg) override;

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIUserMenuDlg"; }
  CStdString GetSkinFile() const override { return "UserMenuDlg.xml"; }
  bool OnSkinReady() override;

 private:
  void Choose(WPARAM action);

  ClientContext& context_;
  size_t userIndex_;
};

// Where the menu of the user at index (0-based) opens: main window left + 181 × index + 100, top + 69.
POINT UserMenuPosition(const RECT& mainWindow, size_t userIndex);

// Opens the menu (window name "UserMenuDlg") of the user at userIndex (0-based) at topLeft over the
// main window, with the focus. Its handle; null when there is no such user or it could not be built.
HWND OpenUserMenu(ClientContext& context, size_t userIndex, POINT topLeft);
