// The add-user dialog, driven headless against the reference service.
#include <gtest/gtest.h>

#include "client/ui/account/add_user_frame_wnd.h"
#include "client/ui/account/tests/account_rig.h"

namespace {

using account_testing::AccountTest;
using account_testing::Labels;
using toolkit::headless::AdvanceTime;
using toolkit::headless::Click;
using toolkit::headless::PressKey;
using toolkit::headless::TypeText;

class AddUserDialog : public AccountTest {
 protected:
  CAddUserFrameWnd::Result RunAddUser(std::function<void(HWND)> inside) {
    WhenWindowStands("AddUserDlg", std::move(inside));
    return RunAddUserDialog(*context);
  }
  // Types the account and password into the empty form and runs the action with Enter.
  static void Add(HWND dialog, const char* account, const char* password) {
    Control(dialog, "Account")->SetText("");
    Control(dialog, "Password")->SetText("");
    TypeText(dialog, "Account", account);
    TypeText(dialog, "Password", password);
    PressKey(dialog, VK_RETURN);
  }
};

TEST_F(AddUserDialog, AnAcceptedAccountJoinsTheListAndTheFileAsTheNewSlot) {
  AddUser("first@example.com", "one");
  service.AddAccount("new@example.com", "secret", "新用户");
  WatchMessages();
  CAddUserFrameWnd::Result result = RunAddUser([&](HWND dialog) {
    EXPECT_EQ(Text(dialog, "Account"), "");
    EXPECT_EQ(Text(dialog, "Password"), "");
    EXPECT_EQ(Focused(dialog), "Account");
    TypeText(dialog, "Account", "new@example.com");
    TypeText(dialog, "Password", "secret");
    EXPECT_TRUE(Click(dialog, "添加账户"));
  });
  EXPECT_TRUE(result.userAdded);
  EXPECT_EQ(result.slotIndex, 2);
  EXPECT_EQ(messages, (std::vector<std::string>{"addsuccess.png"}));
  ASSERT_EQ(core->users.size(), 2u);
  const UserRecord& added = *core->users[1];
  EXPECT_EQ(added.account, "new@example.com");
  EXPECT_EQ(added.password, "secret");
  EXPECT_EQ(added.uname, "新用户");
  EXPECT_TRUE(added.loggedIn);
  EXPECT_TRUE(added.autologin);
  EXPECT_TRUE(added.jizhumima);
  UserList stored = StoredUsers();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[1]->account, "new@example.com");
  EXPECT_EQ(stored[1]->uid, added.uid);
}

TEST_F(AddUserDialog, AnAccountDifferingOnlyInLetterCaseMayBeAddedAnExactOneNot) {
  AddUser("ming@example.com", "pw");
  WatchMessages(2);
  CAddUserFrameWnd::Result result = RunAddUser([&](HWND dialog) {
    Add(dialog, "ming@example.com", "pw");
    EXPECT_EQ(ShownErrorLabels(dialog), Labels{"erroraccountalreadyexists"});
    EXPECT_TRUE(IsWindow(dialog));
    AdvanceTime(1500);
    EXPECT_TRUE(ShownErrorLabels(dialog).empty());
    // The service finds its members whatever the letter case, so this logs in.
    Add(dialog, "Ming@Example.com", "pw");
  });
  EXPECT_TRUE(result.userAdded);
  EXPECT_EQ(messages, (std::vector<std::string>{"addsuccess.png"}));
  ASSERT_EQ(core->users.size(), 2u);
  EXPECT_EQ(core->users[1]->account, "Ming@Example.com");
}

TEST_F(AddUserDialog, AFifthUserIsRefusedWithoutAWordAndWithoutARequest) {
  for (const char* account : {"a@example.com", "b@example.com", "c@example.com", "d@example.com"}) {
    AddUser(account, "pw", false);
  }
  UseScriptedService();
  ASSERT_EQ(core->users.size(), 4u);
  WatchMessages();
  CAddUserFrameWnd::Result result = RunAddUser([&](HWND dialog) {
    Add(dialog, "e@example.com", "pw");
    EXPECT_TRUE(ShownErrorLabels(dialog).empty());
    EXPECT_TRUE(IsWindow(dialog));
    // Blanks are still found first.
    Add(dialog, "", "pw");
    EXPECT_EQ(ShownErrorLabels(dialog), Labels{"erroraccountblank"});
    EXPECT_TRUE(Click(dialog, "添加账户_退出"));
  });
  EXPECT_FALSE(result.userAdded);
  EXPECT_EQ(result.slotIndex, -1);
  EXPECT_TRUE(scripted.Requests().empty());
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(core->users.size(), 4u);
  EXPECT_EQ(StoredUsers().size(), 4u);
}

TEST_F(AddUserDialog, RefusalsAndALostServiceLeaveTheListAsItWas) {
  service.AddAccount("known@example.com", "right");
  WatchMessages();
  CAddUserFrameWnd::Result result = RunAddUser([&](HWND dialog) {
    Add(dialog, "known@example.com", "");
    EXPECT_EQ(ShownErrorLabels(dialog), Labels{"errorpasswordblank"});
    Add(dialog, "known@example.com", "wrong");
    EXPECT_EQ(ShownErrorLabels(dialog), Labels{"errorpassworderror"});
    Add(dialog, "unknown@example.com", "right");
    EXPECT_EQ(ShownErrorLabels(dialog), Labels{"erroraccountnoexists"});
    AdvanceTime(1500);
    service.Stop();
    Add(dialog, "known@example.com", "right");
    EXPECT_TRUE(ShownErrorLabels(dialog).empty());
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(Click(dialog, "取消"));
  });
  EXPECT_FALSE(result.userAdded);
  EXPECT_EQ(messages, (std::vector<std::string>{"messagebox_badnetwork.png"}));
  EXPECT_TRUE(core->users.empty());
  EXPECT_TRUE(StoredUsers().empty());
}

TEST_F(AddUserDialog, AnUnknownServiceCodeShowsNothingAndAddsNobody) {
  UseScriptedService();
  Answer("<error_res><code>77</code><msg>别的原因</msg></error_res>");
  WatchMessages();
  CAddUserFrameWnd::Result result = RunAddUser([&](HWND dialog) {
    Add(dialog, "x@example.com", "pw");
    EXPECT_TRUE(ShownErrorLabels(dialog).empty());
    PressKey(dialog, VK_ESCAPE);
  });
  EXPECT_FALSE(result.userAdded);
  EXPECT_EQ(scripted.Requests("user.id.get").size(), 1u);
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(core->users.empty());
}

}  // namespace
