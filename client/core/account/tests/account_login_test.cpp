// Login requests and the silent login against a scripted loopback service, and the local checks
// of the account dialogs.
#include <gtest/gtest.h>

#include "client/core/account/account_login.h"
#include "client/core/account/login_errors.h"
#include "client/core/settings/settings_store.h"
#include "client/core/sync/tests/sync_rig.h"
#include "testing/temp_folder.h"

namespace {

using testing_support::FakeService;
using testing_support::Form;

constexpr const char* kAccepted =
    "<user_res><uid>77</uid><logincode>LC77</logincode><uname>小明</uname><level>3</level>"
    "<head_url></head_url><hards></hards></user_res>";

class AccountLogin : public ::testing::Test {
 protected:
  void Answer(std::string body) {
    service.SetRule([body](const std::string&, const Form&) { return body; });
  }

  FakeService service;
  SettingsStore settings;
  testing_support::TempFolder folder;
  ApiClient api{settings, folder.path(), service.Endpoint()};
};

TEST_F(AccountLogin, AnAcceptedLoginHandsTheAnswerOverAndSendsTheTypedTexts) {
  Answer(kAccepted);
  LoginAttempt attempt = RequestLogin(api, "ming@example.com", "秘密pw");
  EXPECT_EQ(attempt.resultCode, kLoginAccepted);
  EXPECT_EQ(attempt.errorCode, "");
  ASSERT_NE(attempt.answer, nullptr);
  EXPECT_EQ(attempt.answer->Root().Name(), "user_res");
  auto sent = service.Requests("user.id.get");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["account"], "ming@example.com");
  EXPECT_EQ(sent[0]["password"], "秘密pw");
}

TEST_F(AccountLogin, RefusalsCarryTheServicesCodeOrNoneAndNoAnswer) {
  struct Case {
    const char* body;
    int result;
    const char* errorCode;
  };
  const Case cases[] = {
      {"<error_res><code>14</code><msg>账号不存在</msg></error_res>", kLoginRefused, "14"},
      {"<error_res><code>12</code></error_res>", kLoginRefused, "12"},
      {"<error_res><msg>出错了</msg></error_res>", kLoginRefused, "未知错误"},
      // Another root is a refusal that says nothing, even with a code in it.
      {"<pinless_res><code>11</code></pinless_res>", kLoginRefused, ""},
      // An empty answer reaches the caller as a document with the root "root".
      {" ", kLoginRefused, ""},
      // No usable answer at all.
      {"", kLoginNotSent, "badnetwork"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    Answer(c.body);
    LoginAttempt attempt = RequestLogin(api, "a@b.cn", "pw");
    EXPECT_EQ(attempt.resultCode, c.result);
    EXPECT_EQ(attempt.errorCode, c.errorCode);
    EXPECT_EQ(attempt.answer, nullptr);
  }
}

TEST_F(AccountLogin, AutoLoginFillsTheRecordAndTellsOnlyARefusal) {
  std::vector<std::pair<std::string, std::string>> boxes;
  ShowBox show = [&](std::string_view text, std::string_view caption) {
    boxes.emplace_back(std::string(text), std::string(caption));
  };
  UserRecord user;
  user.account = "ming@example.com";
  user.password = "secret";
  user.picture = "old.jpg";

  Answer("");
  EXPECT_FALSE(AutoLogin(user, api, show));
  EXPECT_TRUE(boxes.empty());

  Answer("<error_res><code>11</code><msg>密码错误</msg></error_res>");
  EXPECT_FALSE(AutoLogin(user, api, show));
  Answer("<error_res><code>9</code></error_res>");
  EXPECT_FALSE(AutoLogin(user, api, show));
  Answer("<error_res><msg></msg></error_res>");
  EXPECT_FALSE(AutoLogin(user, api, show));
  using Box = std::pair<std::string, std::string>;
  EXPECT_EQ(boxes, (std::vector<Box>{
                       {"密码错误", "登录错误"}, {"用户登录未知错误", "登录错误"}, {"用户登录未知错误", "登录错误"}}));
  EXPECT_FALSE(user.loggedIn);
  EXPECT_EQ(user.uid, "");

  Answer(kAccepted);
  EXPECT_TRUE(AutoLogin(user, api, show));
  EXPECT_TRUE(user.loggedIn);
  EXPECT_EQ(user.uid, "77");
  EXPECT_EQ(user.logincode, "LC77");
  // An empty head address means the default picture; nothing is fetched for it.
  EXPECT_EQ(user.picture, "DefaultUser.jpg");
  auto sent = service.Requests("user.id.get");
  EXPECT_EQ(sent.back()["password"], "secret");
  EXPECT_EQ(boxes.size(), 3u);
}

TEST(AccountChecks, TheAddUserChecksComeInTheirOrderAndLetterCaseCounts) {
  UserList users;
  EXPECT_EQ(CheckNewUser(users, "", ""), "accountblank");
  EXPECT_EQ(CheckNewUser(users, "a@b.cn", ""), "passwordblank");
  users.push_back(std::make_unique<UserRecord>());
  users.back()->account = "Ming@example.com";
  EXPECT_EQ(CheckNewUser(users, "Ming@example.com", "pw"), "alreadyexists");
  EXPECT_EQ(CheckNewUser(users, "ming@example.com", "pw"), "");
  while (users.size() < kMaxUsers) users.push_back(std::make_unique<UserRecord>());
  // A full list is told before a duplicate, and blanks before a full list.
  EXPECT_EQ(CheckNewUser(users, "Ming@example.com", "pw"), "upperamount");
  EXPECT_EQ(CheckNewUser(users, "", "pw"), "accountblank");
  EXPECT_EQ(CheckLoginInput("", ""), "accountblank");
  EXPECT_EQ(CheckLoginInput("a", ""), "passwordblank");
  EXPECT_EQ(CheckLoginInput("a", "b"), "");
}

}  // namespace
