// One round of the reminder poll against a scripted loopback service.
#include "client/core/reminders/reminder_poll.h"

#include <gtest/gtest.h>

#include "client/core/reminders/reminder_reply.h"
#include "client/core/sync/tests/sync_rig.h"

namespace {

using testing_support::Form;
using testing_support::SyncRig;

std::string UserInfo(int all, int fri = 0) {
  return "<user_res><uid>1</uid><msgs><all>" + std::to_string(all) + "</all><fri>" + std::to_string(fri) +
         "</fri><ivi>0</ivi><msg>0</msg><reshare>0</reshare><notice>" + std::to_string(all - fri) +
         "</notice></msgs></user_res>";
}

class ReminderRound : public ::testing::Test {
 protected:
  // A user of the list, logged in or not, whose login the service answers with answer.
  UserRecord& AddUser(const std::string& account, bool loggedIn, std::string answer) {
    UserRecord& u = rig.AddUser(std::to_string(rig.users.size() + 1), 60, false, false, false);
    u.account = account;
    u.password = "pw-" + account;
    u.loggedIn = loggedIn;
    answers[account] = std::move(answer);
    return u;
  }

  void SetUp() override {
    rig.service.SetRule([this](const std::string& method, const Form& form) -> std::string {
      if (method != "user.id.get") return {};
      auto it = answers.find(form.at("account"));
      return it == answers.end() ? std::string() : it->second;
    });
  }

  std::vector<std::string> PolledAccounts() const {
    std::vector<std::string> accounts;
    for (const Form& f : rig.service.Requests("user.id.get")) accounts.push_back(f.at("account"));
    return accounts;
  }

  SyncRig rig;
  std::map<std::string, std::string> answers;
  std::vector<std::pair<std::string, std::string>> notices;
  ReminderPoll poll{rig.api, rig.users, rig.changes, [this](std::string_view text, std::string_view caption) {
                      notices.emplace_back(std::string(text), std::string(caption));
                    }};
};

TEST_F(ReminderRound, OnlyLoggedInUsersAreAskedInListOrderAndThoseWithRemindersAreFound) {
  UserRecord& first = AddUser("a@example.test", true, UserInfo(3, 1));
  AddUser("b@example.test", false, UserInfo(8));
  AddUser("c@example.test", true, UserInfo(0));
  UserRecord& fourth = AddUser("d@example.test", true, UserInfo(5, 5));
  std::vector<std::pair<std::string, int>> found;
  int n = poll.PollAll([&](const UserRecord& u, int count) { found.emplace_back(u.account, count); });
  EXPECT_EQ(n, 2);
  EXPECT_EQ(found, (std::vector<std::pair<std::string, int>>{{"a@example.test", 3}, {"d@example.test", 5}}));
  EXPECT_EQ(PolledAccounts(), (std::vector<std::string>{"a@example.test", "c@example.test", "d@example.test"}));
  EXPECT_EQ(rig.service.Requests("user.id.get")[0].at("password"), "pw-a@example.test");
  // The counters stay with the records, for the reminder list.
  EXPECT_EQ(first.counts.all, 3);
  EXPECT_EQ(first.counts.fri, 1);
  EXPECT_EQ(first.counts.notice, 2);
  EXPECT_EQ(fourth.counts.fri, 5);
  EXPECT_TRUE(notices.empty());
}

TEST_F(ReminderRound, ARefusedLoginIsToldWithTheServicesTextAndCountsNothing) {
  UserRecord& u = AddUser("a@example.test", true, "<error_res><code>11</code><msg>密码错误</msg></error_res>");
  u.counts.fri = 4;
  AddUser("b@example.test", true, "<error_res><code>9</code></error_res>");
  int found = poll.PollAll([&](const UserRecord&, int) { ADD_FAILURE() << "nothing to find"; });
  EXPECT_EQ(found, 0);
  EXPECT_EQ(notices, (std::vector<std::pair<std::string, std::string>>{{"密码错误", "登录错误"},
                                                                       {"用户登录未知错误", "登录错误"}}));
  EXPECT_EQ(u.counts.fri, 4);
}

TEST_F(ReminderRound, NoAnswerAndAnAnswerWithoutMsgsShowNothingAndKeepTheCounters) {
  UserRecord& silent = AddUser("a@example.test", true, "");
  UserRecord& bare = AddUser("b@example.test", true, "<user_res><uid>2</uid></user_res>");
  silent.counts.msg = 2;
  bare.counts.all = 6;
  EXPECT_EQ(poll.PollUser(0), 0);
  EXPECT_EQ(poll.PollUser(1), 0);
  EXPECT_EQ(poll.PollUser(2), 0);  // beyond the list
  EXPECT_EQ(silent.counts.msg, 2);
  EXPECT_EQ(bare.counts.all, 6);
  EXPECT_TRUE(notices.empty());
  // The HTTP client tries an unanswered request again; nobody else was asked.
  std::vector<std::string> asked = PolledAccounts();
  EXPECT_EQ(std::count(asked.begin(), asked.end(), "b@example.test"), 1);
  EXPECT_EQ(std::count(asked.begin(), asked.end(), "a@example.test") + 1, static_cast<long>(asked.size()));
}

TEST_F(ReminderRound, AUserTakenAwayOrLoggedOutWhileABoxStandsIsNotAsked) {
  AddUser("a@example.test", true, "<error_res><msg>密码错误</msg></error_res>");
  AddUser("b@example.test", true, UserInfo(2));
  AddUser("c@example.test", true, UserInfo(4));
  AddUser("d@example.test", true, UserInfo(1));
  ReminderPoll meddled{rig.api, rig.users, rig.changes, [this](std::string_view, std::string_view) {
                         // The message box runs the loop: the user menu removes b and logs out d.
                         ASSERT_EQ(rig.changes.Remove(1), UserChange::Done);
                         ASSERT_EQ(rig.changes.Logout(2), UserChange::Done);
                       }};
  std::vector<std::string> found;
  meddled.PollAll([&](const UserRecord& u, int) { found.push_back(u.account); });
  EXPECT_EQ(found, (std::vector<std::string>{"c@example.test"}));
  EXPECT_EQ(PolledAccounts(), (std::vector<std::string>{"a@example.test", "c@example.test"}));
}

}  // namespace
