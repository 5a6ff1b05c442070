#pragma once
// CPopupMenuWnd: the base of the client's two small menus (the system drop-down and a user slot's
// menu). A menu paints on a transparent background, stands as a pop-up tool window where its
// owner puts it, and closes as soon as it loses the focus, also when its owner posts WM_KILLFOCUS
// to it (a right click on the tray icon does).

#include "toolkit/ui.h"

class CPopupMenuWnd : public CSkinWnd {
 protected:
  UINT GetClassStyle() const override { return 0x80B; }
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool IsBackgroundTransparent() const override { return true; }
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

  // Runs when the menu loses the focus; the default closes it.
  virtual void OnKillFocus() { Close(); }
};

namespace popup_menu {
// Opens a menu of class W (made from args) as a pop-up tool window of size at topLeft over owner,
// shown with the focus. The window, or null when it could not be built.
template <class W, class... Args>
W* Open(HWND owner, LPCTSTR name, POINT topLeft, SIZE size, Args&&... args) {
  RECT rect{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy};
  W* menu = toolkit::OpenWindow<W>(owner, name, WS_POPUP, WS_EX_TOOLWINDOW, rect, std::forward<Args>(args)...);
  if (menu) menu->ShowWindow(true, true);
  return menu;
}
}  // namespace popup_menu
