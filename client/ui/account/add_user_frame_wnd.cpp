#include "client/ui/account/add_user_frame_wnd.h"

#include <memory>

#include "client/core/account/account_login.h"
#include "client/core/account/login_errors.h"
#include "client/core/users/user_store.h"
#include "client/ui/dialogs/message_box_wnd.h"

void CAddUserFrameWnd::RunAction(const Typed& typed) {
  std::string_view check = CheckNewUser(context_.core.users, typed.account, typed.password);
  if (!check.empty()) {
    ShowError(check);
    return;
  }
  LoginAttempt attempt = RequestLogin(context_.core.api, typed.account, typed.password);
  if (attempt.resultCode != kLoginAccepted) {
    ShowError(attempt.errorCode);
    return;
  }
  const XmlElement& answer = attempt.answer->Root();
  auto user = std::make_unique<UserRecord>();
  user->jizhumima = typed.remember;
  user->autologin = typed.autoLogin;
  UserStore::FillFromUserInfo(*user, answer);
  user->password = typed.password;
  user->account = typed.account;
  FetchHeadImage(*user, context_.core.api, answer);
  attempt.answer.reset();

  UserRecord& added = *user;
  if (!ChangeMade(*this, context_.core.changes.Add(std::move(user)))) {
    // A sync pass below this dialog cannot end while it stands; the user tries again later.
    Finish();
    return;
  }
  context_.core.StoreUser(added);
  result_.userAdded = true;
  result_.slotIndex = static_cast<int>(context_.core.users.size());
  ShowClientMessage(*this, "添加成功");
  Finish();
}

CAddUserFrameWnd::Result RunAddUserDialog(ClientContext& context) {
  return toolkit::RunModal<CAddUserFrameWnd>(context.mainWindow, "AddUserDlg", context);
}
