#pragma once
// AccountDialog: what the login and the add-user dialog share. Both show the same form (the
// account and password edits, the two options, the links to the member site, the error labels);
// the close button, "取消" and Escape close the dialog, Enter anywhere or the action button runs
// its action with what was typed. An error shows its label for a moment on window timer 1, or the
// client's message for a lost connection.

#include <string>
#include <string_view>

#include "client/ui/client_context.h"
#include "toolkit/ui.h"

class AccountDialog : public CSkinWnd {
 public:
  static constexpr UINT kErrorTimer = 1;

  void Notify(TNotifyUI& msg) override;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

 protected:
  explicit AccountDialog(ClientContext& context) : context_(context) {}

  // What the form holds when the action runs.
  struct Typed {
    std::string account;
    std::string password;
    bool remember = false;   // "记住密码"
    bool autoLogin = false;  // "自动登录"
  };

  // Both dialogs share one window class.
  LPCTSTR GetWindowClassName() const override { return "UIAddUserFrame"; }
  LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) override;

  virtual const char* CloseButtonName() const = 0;
  virtual const char* ActionButtonName() const = 0;
  // The edit that has the focus when the dialog opens.
  virtual const char* FirstEditName() const = 0;
  virtual void RunAction(const Typed& typed) = 0;

  void SetEditText(std::string_view edit, const std::string& text);
  // Shows what an error code shows (a label, the message, or nothing).
  void ShowError(std::string_view errorCode);
  // Closes the dialog once its action is done; keys and clicks that arrive meanwhile do nothing.
  void Finish();

  ClientContext& context_;

 private:
  Typed ReadForm() const;
  void StartAction();
  void HideErrorLabels();

  bool finished_ = false;
};
