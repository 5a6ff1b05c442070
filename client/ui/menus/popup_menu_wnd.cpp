#include "client/ui/menus/popup_menu_wnd.h"

LRESULT CPopupMenuWnd::HandleCustomMessage(UINT msg, WPARAM, LPARAM, bool& handled) {
  if (msg == WM_KILLFOCUS) {
    OnKillFocus();
    handled = true;
  }
  return 0;
}
