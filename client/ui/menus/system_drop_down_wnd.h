#pragma once
// CSystemDropDownWnd: the system drop-down of the title bar's "下拉菜单" and of the tray icon. Its
// choices go to the main window as kMsgSystemMenuChoice (1 settings, 2 about, 3 quit), after which
// it closes; "访问Vymera网" opens the member site and leaves it open.

#include "client/ui/client_context.h"
#include "client/ui/menus/popup_menu_wnd.h"

class CSystemDropDownWnd : public CPopupMenuWnd {
 public:
  static constexpr SIZE kSize{112, 106};

  explicit CSystemDropDownWnd(ClientContext& context) : context_(context) {}

  void Notify(TNotifyUI& msg) override;

  // The choice a control stands for; 0 for none.
  static WPARAM ChoiceOf(std::string_view control);

 protected:
  LPCTSTR GetWindowClassName() const override { return "UISystemXiala"; }
  CStdString GetSkinFile() const override { return "XialaDlg.xml"; }

 private:
  ClientContext& context_;
};

// Where the title bar's button opens the drop-down: at the main window's left + 735, top + 29.
POINT SystemDropDownPosition(const RECT& mainWindow);

// Opens the drop-down (window name "SystemDlg") at topLeft over the main window, with the focus.
// Its handle, which the frame keeps to post WM_KILLFOCUS to; null when it could not be built.
HWND OpenSystemDropDown(ClientContext& context, POINT topLeft);
