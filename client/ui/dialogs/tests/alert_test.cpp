// The alert pop-ups: a round of the reminder poll that raises them, the results of a pass, the
// placement by slot and the fade at the end.
#include <gtest/gtest.h>

#include "client/core/sync/tests/sync_rig.h"
#include "client/ui/dialogs/alert_dlg.h"
#include "client/ui/dialogs/reminder_alerts.h"
#include "client/ui/dialogs/tests/notice_rig.h"
#include "platform/file_io.h"
#include "toolkit/testing/headless.h"

namespace {

using notice_testing::NoticeTest;

class Alerts : public NoticeTest {
 protected:
  void SetUp() override {
    NoticeTest::SetUp();
    toolkit::headless::Desktop().SetScreen(CSize(1920, 1080), CRect(0, 0, 1920, 1040));
  }
  void SetReminders(const UserRecord& user, service::Reminders reminders) {
    ASSERT_TRUE(service.Data().accounts.SetReminders(std::stoll(user.uid), reminders));
  }
  int Poll() {
    return PollReminders(*context, [this](int n) { reminderTexts.push_back(n); });
  }
  std::vector<int> reminderTexts;
};

TEST_F(Alerts, TwoUsersWithRemindersGiveTwoAlertsTheSecondOneWindowHeightAndAPixelHigher) {
  UserRecord& first = AddUser("a@example.test", "pw-a");
  UserRecord& quiet = AddUser("b@example.test", "pw-b");
  UserRecord& away = AddUser("c@example.test", "pw-c", false);
  UserRecord& second = AddUser("d@example.test", "pw-d");
  SetReminders(first, {1, 0, 2, 0, 0});
  SetReminders(away, {5, 0, 0, 0, 0});
  SetReminders(second, {0, 4, 0, 0, 3});
  (void)quiet;

  EXPECT_EQ(Poll(), 2);
  EXPECT_EQ(reminderTexts, (std::vector<int>{3, 7}));
  std::vector<HWND> alerts = WindowsNamed("AlertDlg");
  ASSERT_EQ(alerts.size(), 2u);
  RECT low = RectOf(alerts[0]), high = RectOf(alerts[1]);
  EXPECT_EQ(low.right, 1920);
  EXPECT_EQ(low.bottom, 1040);
  EXPECT_EQ(low.bottom - low.top, 150);
  EXPECT_EQ(high.right, 1920);
  EXPECT_EQ(high.top, low.top - 151);
  EXPECT_EQ(Text(alerts[0], "User_alerttext"), "有3条新提醒！");
  EXPECT_EQ(Text(alerts[1], "User_alerttext"), "有7条新提醒！");
  for (HWND alert : alerts) {
    EXPECT_TRUE(IsWindowVisible(alert));
    for (const char* c : {"User_image", "User_alerttext", "User_Url"}) EXPECT_TRUE(Shown(alert, c)) << c;
    for (const char* c : {"successimage", "successtext", "failimage", "failtext"}) EXPECT_FALSE(Shown(alert, c)) << c;
  }
  // The counters went into the records, for the reminder list.
  EXPECT_EQ(first.counts.msg, 2);
  EXPECT_EQ(second.counts.notice, 3);
  EXPECT_EQ(away.counts.fri, 0);

  ASSERT_TRUE(toolkit::headless::Click(alerts[1], "User_Url"));
  ASSERT_EQ(OpenedPages().size(), 1u);
  EXPECT_EQ(OpenedPages()[0],
            std::string(client_testing::kMemberSite) + "softlogin.php?re_url=%2Fhome&logincode=" + second.logincode);
  EXPECT_FALSE(second.logincode.empty());
  EXPECT_EQ(toolkit::headless::Desktop().OpenedUrls()[0].showCommand, SW_SHOWMAXIMIZED);
}

TEST_F(Alerts, TheUsersPictureIsShownWhenItIsInTheUserFolder) {
  UserRecord& u = AddUser("a@example.test", "pw-a");
  u.picture = "a's=face.jpg";  // a name the image attribute cannot carry
  RaiseAlert(*context, "", &u, 0, 1);
  EXPECT_EQ(BkImage(WindowNamed("AlertDlg"), "User_image"), "DefaultUser.jpg");
  u.picture = "missing.jpg";
  RaiseAlert(*context, "", &u, 1, 1);
  EXPECT_EQ(BkImage(WindowNamed("AlertDlg"), "User_image"), "DefaultUser.jpg");
  u.picture = "face.jpg";
  std::string file = core->UserFolder() + "face.jpg";
  ASSERT_TRUE(platform::WriteFileAtomically(file, "jpeg"));
  RaiseAlert(*context, "", &u, 2, 1);
  EXPECT_EQ(BkImage(WindowNamed("AlertDlg"), "User_image"), "file='" + file + "'");
}

TEST_F(Alerts, AnAlertClosesByItselfAfterFiveSecondsAndAFadeOfOne) {
  AddUser("a@example.test", "pw-a", true, false);  // not in the file yet
  RaiseAlert(*context, CAlertDlg::kUploadSuccess, nullptr, 0, 0);
  HWND alert = WindowNamed("AlertDlg");
  ASSERT_TRUE(alert);
  for (const char* c : {"successimage", "successtext"}) EXPECT_TRUE(Shown(alert, c)) << c;
  for (const char* c : {"User_image", "User_alerttext", "User_Url", "failimage", "failtext"})
    EXPECT_FALSE(Shown(alert, c)) << c;
  // The result of a pass stores the users.
  EXPECT_EQ(StoredUsers().size(), 1u);
  EXPECT_EQ(RectOf(alert).bottom, 1040);

  toolkit::headless::AdvanceTime(CAlertDlg::kShowMs - 1);
  EXPECT_TRUE(IsWindowVisible(alert));
  int64_t fadeStart = toolkit_testing::Headless().NowMs() + 1;
  toolkit::headless::AdvanceTime(1);
  Pump();
  EXPECT_FALSE(IsWindow(alert));
  EXPECT_GE(toolkit_testing::Headless().NowMs() - fadeStart, static_cast<int64_t>(CAlertDlg::kFadeMs));
}

TEST_F(Alerts, TheCloseButtonFadesItOutAndAFailedPassShowsItsResult) {
  RaiseAlert(*context, CAlertDlg::kUploadFail, nullptr, 0, 0);
  HWND alert = WindowNamed("AlertDlg");
  ASSERT_TRUE(alert);
  for (const char* c : {"failimage", "failtext"}) EXPECT_TRUE(Shown(alert, c)) << c;
  for (const char* c : {"User_image", "User_Url", "successimage", "successtext"}) EXPECT_FALSE(Shown(alert, c)) << c;
  int64_t before = toolkit_testing::Headless().NowMs();
  ASSERT_TRUE(toolkit::headless::Click(alert, "closebtn"));
  Pump();
  EXPECT_FALSE(IsWindow(alert));
  EXPECT_GE(toolkit_testing::Headless().NowMs() - before, static_cast<int64_t>(CAlertDlg::kFadeMs));
}

TEST_F(Alerts, AnAlertThatGoesWithTheMainWindowDuringItsFadeLeavesNothingBehind) {
  RaiseAlert(*context, CAlertDlg::kUploadSuccess, nullptr, 0, 0);
  HWND alert = WindowNamed("AlertDlg");
  // Half way through the fade the main window goes, and its alert with it.
  SetTimer(main, 77, CAlertDlg::kShowMs + CAlertDlg::kFadeMs / 2);
  main.onMessage = [this](UINT msg, WPARAM wParam, LPARAM, bool&) -> LRESULT {
    if (msg == WM_TIMER && wParam == 77) DestroyWindow(main);
    return 0;
  };
  toolkit::headless::AdvanceTime(CAlertDlg::kShowMs);
  Pump();
  EXPECT_FALSE(IsWindow(alert));
  EXPECT_FALSE(IsWindow(main));
}

// The poll against a service whose answers the test writes.
class ScriptedPoll : public Alerts {
 protected:
  void SetUp() override {
    Alerts::SetUp();
    context.reset();
    core =
        std::make_unique<ClientCore>(folder.path(), host, clock, ClientPorts{ports, ports, ports}, scripted.Endpoint());
    core->LoadUsers();
    context = std::make_unique<ClientContext>(
        ClientContext{*core, main, client_testing::kMemberSite, client_testing::kCompanySite});
    scripted.SetRule([this](const std::string&, const testing_support::Form& form) {
      auto it = answers.find(form.at("account"));
      return it == answers.end() ? std::string() : it->second;
    });
  }
  UserRecord& Scripted(const std::string& account, std::string answer) {
    auto user = std::make_unique<UserRecord>();
    user->account = account;
    user->uname = account;
    user->loggedIn = true;
    answers[account] = std::move(answer);
    core->users.push_back(std::move(user));
    return *core->users.back();
  }
  testing_support::FakeService scripted;
  std::map<std::string, std::string> answers;
};

TEST_F(ScriptedPoll, AnAnswerWithoutMsgsRaisesNoAlertAndLeavesTheText) {
  Scripted("a@example.test", "<user_res><uid>1</uid><uname>a</uname></user_res>");
  EXPECT_EQ(Poll(), 0);
  EXPECT_TRUE(reminderTexts.empty());
  EXPECT_TRUE(WindowsNamed("AlertDlg").empty());
  EXPECT_TRUE(toolkit::headless::Desktop().MessageBoxes().empty());
}

TEST_F(ScriptedPoll, ARefusedLoginIsToldOverTheMainWindowAndTheOthersStillRaiseTheirAlertsFromTheBottom) {
  Scripted("a@example.test", "<error_res><code>11</code><msg>密码错误</msg></error_res>");
  Scripted("b@example.test", "<user_res><msgs><all>2</all></msgs></user_res>");
  EXPECT_EQ(Poll(), 1);
  const auto& boxes = toolkit::headless::Desktop().MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "密码错误");
  EXPECT_EQ(boxes[0].caption, "登录错误");
  EXPECT_EQ(boxes[0].owner, main.Native());
  std::vector<HWND> alerts = WindowsNamed("AlertDlg");
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_EQ(RectOf(alerts[0]).bottom, 1040);  // slot 0: the refused user raised none
  EXPECT_EQ(reminderTexts, (std::vector<int>{2}));
}

}  // namespace
