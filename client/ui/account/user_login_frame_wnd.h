#pragma once
// CUserLoginFrameWnd: the login dialog of one user of the list. It opens with the user's account
// and password filled in and the password edit focused; an accepted login takes the options and
// the service's answer into the record, stores it, says "登录成功" and closes. A refusal shows its
// error and the dialog stays.

#include <cstddef>

#include "client/ui/account/account_dialog.h"

class CUserLoginFrameWnd : public AccountDialog {
 public:
  struct Result {
    bool loggedIn = false;
  };
  Result GetResult() const { return result_; }

  // userIndex is the user's place in context.core.users (0-based).
  CUserLoginFrameWnd(ClientContext& context, size_t userIndex) : AccountDialog(context), index_(userIndex) {}

  // Shown when the answer names another member than the dialog's user.
  static constexpr const char* kOtherMember = "该帐号不是此用户的帐号";

 protected:
  CStdString GetSkinFile() const override { return "LoginDlg.xml"; }
  // Fails the creation when the index names no user.
  bool OnSkinReady() override;

  const char* CloseButtonName() const override { return "账户登录_退出"; }
  const char* ActionButtonName() const override { return "登录"; }
  const char* FirstEditName() const override { return "Password"; }
  void RunAction(const Typed& typed) override;

 private:
  size_t index_;
  Result result_;
};

// Runs the login dialog of the user at userIndex modally over the main window (window name
// "UserLogin"); true when the user logged in. False at once for an index beyond the list.
bool RunLoginDialog(ClientContext& context, size_t userIndex);
