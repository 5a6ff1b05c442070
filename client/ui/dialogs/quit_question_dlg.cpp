#include "client/ui/dialogs/quit_question_dlg.h"

#include <array>

namespace {
struct Mode {
  std::string_view mode;
  const char* control;
  const char* title;
  const char* windowName;
};
constexpr std::array<Mode, 5> kModes{{
    {"退出程序", "quitsoft", "quitquestion_title.png", "QuitQuestion"},
    {"清除账号", "clearaccount", "clearaccount_title.png", "clearQuestion"},
    {"退出登录", "logout", "logouttitle.png", "clearQuestion"},
    {"解除绑定", "unpinless", "unpinlesstitle.png", "QuitQuestion"},
    {"丢弃读数", "discardreading", "question_title.png", "QuitQuestion"},
}};

const Mode* Find(std::string_view mode) {
  for (const auto& m : kModes) {
    if (m.mode == mode) return &m;
  }
  return nullptr;
}
}  // namespace

const char* CQuitQuestionDlg::WindowName(std::string_view mode) {
  const Mode* m = Find(mode);
  return m ? m->windowName : "QuitQuestion";
}

bool CQuitQuestionDlg::OnSkinReady() {
  if (const Mode* m = Find(mode_)) {
    if (CControlUI* text = Manager().FindControl(m->control)) text->SetVisible(true);
    if (CControlUI* title = Manager().FindControl("title")) title->SetBkImage(m->title);
  }
  return true;
}

void CQuitQuestionDlg::Notify(TNotifyUI& msg) {
  if (msg.sType != "click" || !msg.pSender) return;
  const CStdString& name = msg.pSender->GetName();
  if (name == "确认") {
    result_.confirmed = true;
    Close();
  } else if (name == "closebtn" || name == "取消") {
    result_.confirmed = false;
    Close();
  }
}

bool AskQuestion(HWND owner, std::string_view mode) {
  return toolkit::RunModal<CQuitQuestionDlg>(owner, CQuitQuestionDlg::WindowName(mode), std::string(mode)).confirmed;
}
