#include "client/ui/menus/update_soft_confirm_dlg.h"

void CUpdateSoftConfirmDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  result_.accepted = msg.pSender->GetName() == "立即升级";
  Close();
}

// The main window does not exist yet when the question is asked.
bool AskToUpdate() { return toolkit::RunModal<CUpdateSoftConfirmDlg>(nullptr, "软件升级").accepted; }
