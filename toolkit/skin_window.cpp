#include "toolkit/skin_window.h"

#include "toolkit/core/win_api.h"

namespace toolkit {

LRESULT CaptionHitTest(const CPaintManagerUI& manager, POINT pt, std::span<const std::string_view> excluded) {
  RECT client{};
  GetClientRect(manager.GetPaintWindow(), &client);
  const CRect& box = manager.GetSizeBox();
  bool left = box.left > 0 && pt.x < client.left + box.left;
  bool right = box.right > 0 && pt.x >= client.right - box.right;
  bool top = box.top > 0 && pt.y < client.top + box.top;
  bool bottom = box.bottom > 0 && pt.y >= client.bottom - box.bottom;
  if (top) return left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP;
  if (bottom) return left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM;
  if (left) return HTLEFT;
  if (right) return HTRIGHT;
  const CRect& caption = manager.GetCaptionRect();
  if (pt.x < client.left + caption.left || pt.x >= client.right - caption.right || pt.y < caption.top ||
      pt.y >= caption.bottom) {
    return HTCLIENT;
  }
  CControlUI* control = manager.FindControl(pt);
  if (!control) return HTCLIENT;
  CStdString cls = control->GetClass();
  for (std::string_view name : excluded) {
    if (cls.str() == name) return HTCLIENT;
  }
  return HTCAPTION;
}

}  // namespace toolkit

LRESULT CSkinWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) return BuildSkin() ? 0 : -1;
  bool handled = false;
  LRESULT own = HandleCustomMessage(msg, wParam, lParam, handled);
  if (handled) return own;
  switch (msg) {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
      return 0;  // no non-client area: the skin draws all of the window
    case WM_NCHITTEST:
      return CaptionHitTest(lParam);
    case WM_NCACTIVATE:
      // The window system must not repaint a frame the window does not have; a minimised window
      // keeps the default.
      if (!IsIconic(*this)) return wParam == 0 ? TRUE : FALSE;
      break;
    case WM_SIZE:
      ApplyRoundRegion();
      break;  // the manager lays out again
    default:
      break;
  }
  LRESULT result = 0;
  if (pm_.MessageHandler(msg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

LRESULT CSkinWnd::HandleCustomMessage(UINT, WPARAM, LPARAM, bool&) { return 0; }

bool CSkinWnd::BuildSkin() {
  HWND self = GetHWND();
  SetWindowLong(self, GWL_STYLE, (GetWindowLong(self, GWL_STYLE) & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  pm_.Init(self);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(GetSkinFile(), nullptr, GetBuilderCallback(), &pm_);
  if (!root) return false;
  pm_.AttachDialog(root);
  pm_.AddNotifier(this);
  pm_.AddPreMessageFilter(this);
  if (IsBackgroundTransparent()) pm_.SetBackgroundTransparent(true);
  return OnSkinReady();
}

LRESULT CSkinWnd::CaptionHitTest(LPARAM screenPoint) const {
  POINT pt{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  ScreenToClient(GetHWND(), &pt);
  std::span<const std::string_view> excluded = CaptionExcludedClasses();
  return toolkit::CaptionHitTest(pm_, pt, excluded);
}

void CSkinWnd::ApplyRoundRegion() {
  SIZE corner = pm_.GetRoundCorner();
  HWND self = GetHWND();
  if (IsIconic(self) || (corner.cx == 0 && corner.cy == 0)) return;
  RECT rc;
  GetClientRect(self, &rc);
  SetWindowRoundRegion(self, RECT{0, 0, rc.right + 1, rc.bottom + 1}, corner.cx, corner.cy);
}

void CSkinWnd::OnFinalMessage(HWND) {
  if (!deletesItself_) return;
  if (beforeDelete_) beforeDelete_();
  delete this;
}
