#include "client/ui/account/user_login_frame_wnd.h"

#include "client/core/account/account_login.h"
#include "client/core/account/login_errors.h"
#include "client/core/users/user_store.h"
#include "client/ui/dialogs/message_box_wnd.h"

bool CUserLoginFrameWnd::OnSkinReady() {
  if (index_ >= context_.core.users.size()) return false;
  const UserRecord& user = *context_.core.users[index_];
  SetEditText("Account", user.account);
  SetEditText("Password", user.password);
  return true;
}

void CUserLoginFrameWnd::RunAction(const Typed& typed) {
  std::string_view check = CheckLoginInput(typed.account, typed.password);
  if (!check.empty()) {
    ShowError(check);
    return;
  }
  LoginAttempt attempt = RequestLogin(context_.core.api, typed.account, typed.password);
  if (attempt.resultCode != kLoginAccepted) {
    ShowError(attempt.errorCode);
    return;
  }
  if (index_ >= context_.core.users.size()) {
    Finish();
    return;
  }
  const XmlElement& answer = attempt.answer->Root();
  // The account edit can be changed to another member's; taking that member's answer would give
  // this record a stranger's identity under its own credentials.
  const XmlElement* uid = answer.FindChild("uid");
  const std::string& ownUid = context_.core.users[index_]->uid;
  if (uid && !uid->Value().empty() && !ownUid.empty() && uid->Value() != ownUid) {
    ShowClientMessage(*this, kOtherMember);
    return;
  }
  UserChange change = context_.core.changes.Edit(index_, [&](UserRecord& user) {
    user.jizhumima = typed.remember;
    user.autologin = typed.autoLogin;
    UserStore::FillFromUserInfo(user, answer);
    // The password that just worked is the one to log in with from now on (it may have been
    // changed at the web site since it was stored).
    user.password = typed.password;
    FetchHeadImage(user, context_.core.api, answer);
    user.loggedIn = true;
  });
  attempt.answer.reset();
  if (!ChangeMade(*this, change)) {
    // A sync pass below this dialog cannot end while it stands; the user tries again later.
    Finish();
    return;
  }
  context_.core.StoreUser(*context_.core.users[index_]);
  result_.loggedIn = true;
  ShowClientMessage(*this, "登录成功");
  Finish();
}

bool RunLoginDialog(ClientContext& context, size_t userIndex) {
  if (userIndex >= context.core.users.size()) return false;
  return toolkit::RunModal<CUserLoginFrameWnd>(context.mainWindow, "UserLogin", context, userIndex).loggedIn;
}
