#include "client/ui/menus/about_dlg.h"

#include "client/core/version/version.h"

std::string CAboutDlg::VersionText(const std::string& version) { return "版本：" + version + "       "; }

bool CAboutDlg::OnSkinReady() {
  if (CControlUI* version = Manager().FindControl("版本")) version->SetText(CStdString(VersionText(ProgramVersion())));
  return true;
}

void CAboutDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  if (name == "closebtn" || name == "确认") {
    Close();
  } else if (name == "访问Vymera网") {
    OpenPage(context_.CompanyHome());
  }
}

LRESULT CAboutDlg::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg != WM_KEYDOWN) return 0;
  if (wParam == VK_ESCAPE) {
    handled = true;
  } else if (wParam == VK_RETURN) {
    handled = true;
    Close();
  }
  return 0;
}

void RunAboutDialog(ClientContext& context) { toolkit::RunModal<CAboutDlg>(context.mainWindow, "AboutDlg", context); }
