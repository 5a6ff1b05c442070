#include "toolkit/examples/skinview/skin_view_window.h"

void CSkinViewWnd::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  if (name == "closebtn" || name == "取消") {
    Close(IDCANCEL);
    return;
  }
  ++clicks_;
  CPaintManagerUI& pm = Manager();
  if (auto* status = pm.FindControlAs<CLabelUI>("status")) {
    CStdString text;
    text.Format("{c #0c6eaf}%s{/c} 已点击 %d 次", name.GetData(), clicks_);
    status->SetText(text);
  }
  if (auto* bar = pm.FindControlAs<CProgressUI>("progress")) bar->SetValue((bar->GetValue() + 10) % 110);
  if (auto* tab = pm.FindControlAs<CTabLayoutUI>("switch")) {
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

LRESULT CSkinViewWnd::HandleCustomMessage(UINT msg, WPARAM, LPARAM, bool&) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return 0;
}
