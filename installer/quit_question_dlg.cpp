#include "installer/quit_question_dlg.h"

bool CQuitQuestionDlg::OnSkinReady() {
  if (mode_ == kClientRunningMode) {
    if (CControlUI* question = Manager().FindControl("quitsteup")) question->SetVisible(false);
    if (CControlUI* picture = Manager().FindControl("setupcheck")) picture->SetVisible(true);
  }
  return true;
}

void CQuitQuestionDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  result_.confirmed = msg.pSender->GetName() == "确认";
  Close();
}

bool AskSetupQuestion(HWND owner, const std::string& mode) {
  return toolkit::RunModal<CQuitQuestionDlg>(owner, CQuitQuestionDlg::kWindowName, mode).confirmed;
}
