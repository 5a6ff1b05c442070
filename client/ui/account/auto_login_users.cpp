#include "client/ui/account/auto_login_users.h"

#include "client/core/account/account_login.h"
#include "toolkit/desktop/desktop.h"

int AutoLoginUsers(ClientContext& context) {
  ShowBox showBox = [&context](std::string_view text, std::string_view caption) {
    toolkit::ShowMessageBox(context.mainWindow, CStdString(text), CStdString(caption), MB_OK | MB_ICONERROR);
  };
  int loggedIn = 0;
  // A message box runs the loop; the list is read afresh for every user.
  for (size_t i = 0; i < context.core.users.size(); ++i) {
    const UserRecord& user = *context.core.users[i];
    if (!user.autologin || user.loggedIn) continue;
    bool accepted = false;
    UserChange change = context.core.changes.Edit(
        i, [&](UserRecord& record) { accepted = AutoLogin(record, context.core.api, showBox); });
    if (change == UserChange::Done && accepted) ++loggedIn;
  }
  return loggedIn;
}
