// The silent login of the users who asked for it, against the reference service.
#include <gtest/gtest.h>

#include "client/ui/account/auto_login_users.h"
#include "client/ui/account/tests/account_rig.h"

namespace {

using account_testing::AccountTest;

class AutoLoginUsersTest : public AccountTest {};

TEST_F(AutoLoginUsersTest, UsersWithAutomaticLoginAreLoggedInAndARefusalIsToldWithTheServicesText) {
  UserRecord& plain = AddUser("plain@example.com", "pw", false);
  UserRecord& automatic = AddUser("auto@example.com", "pw", false);
  automatic.autologin = true;
  UserRecord& refused = AddUser("refused@example.com", "pw", false);
  refused.autologin = true;
  refused.password = "stale";
  UserRecord& already = AddUser("already@example.com", "pw", true);
  already.autologin = true;

  EXPECT_EQ(AutoLoginUsers(*context), 1);
  EXPECT_FALSE(plain.loggedIn);
  EXPECT_TRUE(automatic.loggedIn);
  EXPECT_FALSE(automatic.logincode.empty());
  EXPECT_FALSE(refused.loggedIn);
  const auto& boxes = toolkit::headless::Desktop().MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "密码错误");
  EXPECT_EQ(boxes[0].caption, "登录错误");
  // A silent login is not stored.
  for (const auto& stored : StoredUsers()) {
    if (stored->account == "auto@example.com") {
      EXPECT_EQ(stored->logincode, "");
    }
  }

  // Without the service nobody logs in and nothing is said.
  refused.password = "pw";
  service.Stop();
  EXPECT_EQ(AutoLoginUsers(*context), 0);
  EXPECT_EQ(toolkit::headless::Desktop().MessageBoxes().size(), 1u);
  EXPECT_FALSE(refused.loggedIn);
}

}  // namespace
