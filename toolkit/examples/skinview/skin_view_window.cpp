#include "toolkit/examples/skinview/skin_view_window.h"

void CSkinViewWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  if (name == "closebtn" || name == "取消") {
    Close(IDCANCEL);
    return;
  }
  ++clicks_;
  if (auto* status = pm_.FindControlAs<CLabelUI>("status")) {
    CStdString text;
    text.Format("{c #0c6eaf}%s{/c} 已点击 %d 次", name.GetData(), clicks_);
    status->SetText(text);
  }
  if (auto* bar = pm_.FindControlAs<CProgressUI>("progress")) bar->SetValue((bar->GetValue() + 10) % 110);
  if (auto* tab = pm_.FindControlAs<CTabLayoutUI>("switch")) {
    if (name == "page1") tab->SelectItem(0);
    if (name == "page2") tab->SelectItem(1);
  }
}

LRESULT CSkinViewWnd::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
    handled = true;
    Close(IDCANCEL);
  }
  return 0;
}

LRESULT CSkinViewWnd::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      SetWindowLong(*this, GWL_STYLE, (GetWindowLong(*this, GWL_STYLE) & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
      pm_.Init(*this);
      CDialogBuilder builder;
      CControlUI* root = builder.Create(CStdString(skinFile_), nullptr, nullptr, &pm_);
      if (!root) return -1;
      pm_.AttachDialog(root);
      pm_.AddNotifier(this);
      pm_.AddPreMessageFilter(this);
      SIZE size = pm_.GetInitSize();
      if (size.cx > 0 && size.cy > 0) ResizeClient(size.cx, size.cy);
      return 0;
    }
    case WM_NCHITTEST: {
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(*this, &pt);
      return toolkit::CaptionHitTest(pm_, pt, {"ButtonUI", "OptionUI", "TextUI"});
    }
    case WM_NCACTIVATE:
      if (!IsIconic(*this)) return wParam == 0 ? TRUE : FALSE;
      break;
    case WM_SIZE: {
      SIZE corner = pm_.GetRoundCorner();
      if (!IsIconic(*this) && (corner.cx != 0 || corner.cy != 0)) {
        RECT rc;
        GetClientRect(*this, &rc);
        SetWindowRoundRegion(*this, RECT{0, 0, rc.right + 1, rc.bottom + 1}, corner.cx, corner.cy);
      }
      break;
    }
    default:
      break;
  }
  LRESULT result = 0;
  if (pm_.MessageHandler(msg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wParam, lParam);
}
