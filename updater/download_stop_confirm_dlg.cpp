#include "updater/download_stop_confirm_dlg.h"

void CDownloadStopConfirmDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  result_.stop = msg.pSender->GetName() == "确定";
  Close();
}
