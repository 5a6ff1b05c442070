#include "client/ui/account/account_dialog.h"

#include "client/core/account/login_errors.h"
#include "client/ui/dialogs/message_box_wnd.h"

void AccountDialog::Notify(TNotifyUI& msg) {
  if (!msg.pSender) return;
  if (msg.sType == "windowinit") {
    // The edit's own entry exists once the window is laid out, so the focus is given here.
    if (CControlUI* edit = Manager().FindControl(FirstEditName())) edit->SetFocus();
    return;
  }
  if (msg.sType != "click" || finished_) return;
  const CStdString& name = msg.pSender->GetName();
  if (name == CloseButtonName() || name == "取消") {
    Finish();
  } else if (name == "注册新账号") {
    OpenPage(context_.MemberPage("/register"));
  } else if (name == "忘记密码?") {
    OpenPage(context_.MemberPage("/forgetpass"));
  } else if (name == ActionButtonName()) {
    StartAction();
  }
}

LRESULT AccountDialog::MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg != WM_KEYDOWN || (wParam != VK_RETURN && wParam != VK_ESCAPE)) return 0;
  handled = true;
  if (finished_) return 0;
  if (wParam == VK_ESCAPE) {
    Finish();
  } else {
    StartAction();
  }
  return 0;
}

LRESULT AccountDialog::HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM, bool& handled) {
  if (msg == WM_TIMER && wParam == kErrorTimer) {
    KillTimer(*this, kErrorTimer);
    HideErrorLabels();
    handled = true;
  }
  return 0;
}

AccountDialog::Typed AccountDialog::ReadForm() const {
  Typed typed;
  if (const auto* account = Manager().FindControlAs<CEditUI>("Account")) typed.account = account->GetText().str();
  if (const auto* password = Manager().FindControlAs<CEditUI>("Password")) typed.password = password->GetText().str();
  if (const auto* remember = Manager().FindControlAs<COptionUI>("记住密码")) typed.remember = remember->IsSelected();
  if (const auto* autoLogin = Manager().FindControlAs<COptionUI>("自动登录")) typed.autoLogin = autoLogin->IsSelected();
  return typed;
}

void AccountDialog::StartAction() { RunAction(ReadForm()); }

void AccountDialog::SetEditText(std::string_view edit, const std::string& text) {
  if (CControlUI* control = Manager().FindControl(edit)) control->SetText(CStdString(text));
}

void AccountDialog::ShowError(std::string_view errorCode) {
  LoginErrorDisplay shown = DisplayOfLoginError(errorCode);
  if (!shown.message.empty()) {
    ShowClientMessage(*this, shown.message);
    return;
  }
  if (shown.label.empty()) return;
  // Labels of one row lie over each other: only the newest error stands.
  HideErrorLabels();
  if (CControlUI* label = Manager().FindControl(shown.label)) label->SetVisible(true);
  SetTimer(*this, kErrorTimer, kLoginErrorShownMs);
}

void AccountDialog::HideErrorLabels() {
  for (std::string_view name : kLoginErrorLabels) {
    if (CControlUI* label = Manager().FindControl(name)) label->SetVisible(false);
  }
}

void AccountDialog::Finish() {
  finished_ = true;
  KillTimer(*this, kErrorTimer);
  Close();
}
