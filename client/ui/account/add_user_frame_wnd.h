#pragma once
// CAddUserFrameWnd: the add-user dialog. It opens empty with the account edit focused; the typed
// account must be new to the list (letter case counts) and the list must have room. An accepted
// login becomes a new user at the end of the list, stored in the user file; the dialog says
// "添加成功" and closes. A refusal shows its error and the dialog stays.

#include "client/ui/account/account_dialog.h"

class CAddUserFrameWnd : public AccountDialog {
 public:
  struct Result {
    bool userAdded = false;
    // The new user's slot, counted from 1 (the list's size after the addition); -1 when none.
    int slotIndex = -1;
  };
  Result GetResult() const { return result_; }

  explicit CAddUserFrameWnd(ClientContext& context) : AccountDialog(context) {}

 protected:
  CStdString GetSkinFile() const override { return "AddNewUserDlg.xml"; }

  const char* CloseButtonName() const override { return "添加账户_退出"; }
  const char* ActionButtonName() const override { return "添加账户"; }
  const char* FirstEditName() const override { return "Account"; }
  void RunAction(const Typed& typed) override;

 private:
  Result result_;
};

// Runs the add-user dialog modally over the main window (window name "AddUserDlg").
CAddUserFrameWnd::Result RunAddUserDialog(ClientContext& context);
