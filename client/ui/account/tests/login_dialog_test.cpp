// The login dialog of a user of the list, driven headless against the reference service.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "client/ui/account/tests/account_rig.h"
#include "client/ui/account/user_login_frame_wnd.h"
#include "service/store/password_hash.h"

namespace {

using account_testing::AccountTest;
using account_testing::Labels;
using toolkit::headless::AdvanceTime;
using toolkit::headless::Click;
using toolkit::headless::PressKey;
using toolkit::headless::TypeText;

class LoginDialog : public AccountTest {
 protected:
  bool RunLogin(size_t index, std::function<void(HWND)> inside) {
    WhenWindowStands("UserLogin", std::move(inside));
    return RunLoginDialog(*context, index);
  }
  void Retype(HWND dialog, const char* edit, const char* text) {
    Control(dialog, edit)->SetText("");
    TypeText(dialog, edit, text);
  }
};

TEST_F(LoginDialog, OpensWithTheUsersAccountAndPasswordAndClosesEachWayWithoutLoggingIn) {
  AddUser("first@example.com", "one", false);
  AddUser("second@example.com", "two", false);
  for (const char* way : {"账户登录_退出", "取消", "Escape"}) {
    SCOPED_TRACE(way);
    bool opened = false;
    EXPECT_FALSE(RunLogin(1, [&](HWND dialog) {
      opened = true;
      EXPECT_EQ(Text(dialog, "Account"), "second@example.com");
      EXPECT_EQ(Text(dialog, "Password"), "two");
      EXPECT_EQ(Focused(dialog), "Password");
      EXPECT_TRUE(Shown(dialog, "自动登录"));
      EXPECT_FALSE(Shown(dialog, "记住密码"));
      EXPECT_TRUE(ShownErrorLabels(dialog).empty());
      if (std::string(way) == "Escape") {
        PressKey(dialog, VK_ESCAPE);
      } else {
        EXPECT_TRUE(Click(dialog, way));
      }
    }));
    EXPECT_TRUE(opened);
    EXPECT_EQ(WindowNamed("UserLogin"), nullptr);
  }
  EXPECT_FALSE(core->users[1]->loggedIn);
  // No dialog for a user the list does not hold.
  EXPECT_FALSE(RunLoginDialog(*context, 2));
}

TEST_F(LoginDialog, TheLinksOpenTheMemberSitesRegisterAndForgottenPasswordPages) {
  AddUser("first@example.com", "one", false);
  RunLogin(0, [&](HWND dialog) {
    EXPECT_TRUE(Click(dialog, "注册新账号"));
    EXPECT_TRUE(Click(dialog, "忘记密码?"));
    EXPECT_TRUE(IsWindow(dialog));
    PressKey(dialog, VK_ESCAPE);
  });
  EXPECT_EQ(OpenedPages(), (std::vector<std::string>{"http://member.test/register", "http://member.test/forgetpass"}));
  EXPECT_EQ(toolkit::headless::Desktop().OpenedUrls().front().showCommand, SW_SHOWMAXIMIZED);
}

TEST_F(LoginDialog, EnterWithABlankAccountShowsItsLabelForOneAndAHalfSecondsAndSendsNothing) {
  AddUser("first@example.com", "one", false, true);
  UseScriptedService();
  WatchMessages();
  EXPECT_FALSE(RunLogin(0, [&](HWND dialog) {
    Control(dialog, "Account")->SetText("");
    // Enter reaches the dialog from whichever control has the focus.
    PressKey(dialog, VK_RETURN);
    EXPECT_EQ(ShownErrorLabels(dialog), Labels{"erroraccountblank"});
    AdvanceTime(1499);
    EXPECT_EQ(ShownErrorLabels(dialog), Labels{"erroraccountblank"});
    AdvanceTime(1);
    EXPECT_TRUE(ShownErrorLabels(dialog).empty());
    // A blank password is found next, on the password row.
    Retype(dialog, "Account", "first@example.com");
    Control(dialog, "Password")->SetText("");
    EXPECT_TRUE(Click(dialog, "登录"));
    EXPECT_EQ(ShownErrorLabels(dialog), Labels{"errorpasswordblank"});
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(Click(dialog, "取消"));
  }));
  EXPECT_TRUE(scripted.Requests().empty());
  EXPECT_TRUE(messages.empty());
}

TEST_F(LoginDialog, EachRefusalOfTheServiceShowsItsLabelAndTheDialogStays) {
  AddUser("first@example.com", "one", false);
  struct Case {
    const char* account;
    const char* password;
    const char* label;
  };
  const Case cases[] = {
      {"first@example.com", "wrong", "errorpassworderror"},
      {"nobody@example.com", "one", "erroraccountnoexists"},
      {"not-an-address", "one", "erroremailinvaliad"},
  };
  WatchMessages();
  EXPECT_FALSE(RunLogin(0, [&](HWND dialog) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.label);
      Retype(dialog, "Account", c.account);
      Retype(dialog, "Password", c.password);
      PressKey(dialog, VK_RETURN);
      EXPECT_EQ(ShownErrorLabels(dialog), Labels{c.label});
      EXPECT_TRUE(IsWindow(dialog));
      AdvanceTime(1500);
      EXPECT_TRUE(ShownErrorLabels(dialog).empty());
    }
    PressKey(dialog, VK_ESCAPE);
  }));
  EXPECT_TRUE(messages.empty());
  const UserRecord& user = *core->users[0];
  EXPECT_FALSE(user.loggedIn);
  EXPECT_EQ(user.password, "one");
  EXPECT_EQ(user.account, "first@example.com");
}

TEST_F(LoginDialog, ScriptedRefusalsWithAnotherCodeOrNoneShowNothing) {
  AddUser("first@example.com", "one", false);
  UseScriptedService();
  WatchMessages();
  EXPECT_FALSE(RunLogin(0, [&](HWND dialog) {
    for (const char* answer : {"<error_res><code>12</code></error_res>", "<error_res><code>9</code></error_res>",
                               "<error_res><msg>出错</msg></error_res>", "<other_res><code>14</code></other_res>"}) {
      SCOPED_TRACE(answer);
      Answer(answer);
      PressKey(dialog, VK_RETURN);
      bool labelled = std::string(answer).find(">12<") != std::string::npos;
      EXPECT_EQ(ShownErrorLabels(dialog), labelled ? Labels{"erroremailinvaliad"} : Labels{});
      AdvanceTime(1500);
    }
    PressKey(dialog, VK_ESCAPE);
  }));
  EXPECT_EQ(scripted.Requests("user.id.get").size(), 4u);
  EXPECT_TRUE(messages.empty());
}

TEST_F(LoginDialog, WithoutAnAnswerTheNetworkErrorMessageComesAndTheDialogStays) {
  AddUser("first@example.com", "one", false);
  service.Stop();
  WatchMessages();
  EXPECT_FALSE(RunLogin(0, [&](HWND dialog) {
    PressKey(dialog, VK_RETURN);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(ShownErrorLabels(dialog).empty());
    PressKey(dialog, VK_ESCAPE);
  }));
  EXPECT_EQ(messages, (std::vector<std::string>{"messagebox_badnetwork.png"}));
  EXPECT_FALSE(core->users[0]->loggedIn);
}

TEST_F(LoginDialog, AnAcceptedLoginTakesTheOptionsAndTheAnswerStoresTheUserAndSaysSo) {
  AddUser("other@example.com", "x", false);
  UserRecord& user = AddUser("first@example.com", "one", false);
  user.autologin = true;
  // The password was changed at the web site since it was stored.
  service.Data().accounts.SetPasswordHash(std::stoll(user.uid), service::HashPassword("new-one"));
  WatchMessages();
  EXPECT_TRUE(RunLogin(1, [&](HWND dialog) {
    Retype(dialog, "Password", "new-one");
    // The option's click comes before it flips; the dialog reads it when the action runs.
    EXPECT_TRUE(Click(dialog, "自动登录"));
    EXPECT_TRUE(Click(dialog, "登录"));
  }));
  EXPECT_EQ(messages, (std::vector<std::string>{"loginsuccess.png"}));
  EXPECT_TRUE(user.loggedIn);
  EXPECT_FALSE(user.autologin);
  EXPECT_TRUE(user.jizhumima);
  EXPECT_FALSE(user.logincode.empty());
  EXPECT_EQ(user.password, "new-one");
  EXPECT_EQ(user.picture, "DefaultUser.jpg");

  UserList stored = StoredUsers();
  ASSERT_EQ(stored.size(), 2u);
  // A store moves the record to the end of the file.
  EXPECT_EQ(stored[1]->account, "first@example.com");
  EXPECT_EQ(stored[1]->logincode, user.logincode);
  EXPECT_EQ(stored[1]->password, "new-one");
  EXPECT_FALSE(stored[1]->autologin);
}

TEST_F(LoginDialog, AHeadImageOfTheAnswerIsFetchedIntoTheUserFolder) {
  service::Account account;
  account.account = "pic@example.com";
  account.passwordHash = service::HashPassword("pw");
  account.uname = "小图";
  service::HeadImage head{"image/jpeg", "\xFF\xD8\xFF\xE0 picture"};
  int64_t uid = service.Data().accounts.Create(account, &head).value_or(0);
  ASSERT_NE(uid, 0);
  auto record = std::make_unique<UserRecord>();
  record->uid = std::to_string(uid);
  record->account = "pic@example.com";
  record->password = "pw";
  record->picture = "DefaultUser.jpg";
  core->StoreUser(*record);
  core->users.push_back(std::move(record));

  WatchMessages();
  EXPECT_TRUE(RunLogin(0, [&](HWND dialog) { PressKey(dialog, VK_RETURN); }));
  EXPECT_EQ(core->users[0]->picture, "小图.jpg");
  struct stat info {};
  EXPECT_EQ(::stat((core->UserFolder() + "小图.jpg").c_str(), &info), 0);
  EXPECT_EQ(StoredUsers().at(0)->picture, "小图.jpg");
}

TEST_F(LoginDialog, AnotherMembersAccountDoesNotTakeOverTheUsersRecord) {
  AddUser("first@example.com", "one", false);
  service.AddAccount("stranger@example.com", "theirs");
  WatchMessages();
  EXPECT_FALSE(RunLogin(0, [&](HWND dialog) {
    Retype(dialog, "Account", "stranger@example.com");
    Retype(dialog, "Password", "theirs");
    PressKey(dialog, VK_RETURN);
    EXPECT_TRUE(IsWindow(dialog));
    PressKey(dialog, VK_ESCAPE);
  }));
  EXPECT_EQ(messages, (std::vector<std::string>{CUserLoginFrameWnd::kOtherMember}));
  const UserRecord& user = *core->users[0];
  EXPECT_FALSE(user.loggedIn);
  EXPECT_EQ(user.account, "first@example.com");
  EXPECT_EQ(user.uname, "用户first@example.com");
}

}  // namespace
