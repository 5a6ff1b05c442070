// The progress window of a sync pass: the three messages of the pass, the summaries and the option.
#include <gtest/gtest.h>

#include "client/ui/dialogs/tests/notice_rig.h"
#include "client/ui/dialogs/upload_process_dlg.h"
#include "toolkit/testing/headless.h"

namespace {

using notice_testing::NoticeTest;

class UploadProgress : public NoticeTest {
 protected:
  HWND Open(int total) {
    CUploadProcessDlg* dialog = OpenUploadProgress(*context, total);
    EXPECT_TRUE(dialog);
    return dialog ? dialog->GetHWND() : nullptr;
  }
  void Post(HWND dialog, UINT message, int times = 1) {
    for (int i = 0; i < times; ++i) PostMessage(dialog, message);
    Pump();
  }
  static void Weights(UserRecord& user, int sent, int waiting) {
    for (int i = 0; i < sent + waiting; ++i) user.datalist.push_back({60.5f, "2024-05-20", i < sent, false, ""});
  }
};

TEST_F(UploadProgress, TheBarFollowsTheItemsAndThePercentShowsFromOnePercentOn) {
  HWND three = Open(3);
  ASSERT_TRUE(three);
  EXPECT_EQ(WindowNamed("UploadProcess"), three);
  EXPECT_TRUE(IsWindowVisible(three));
  RECT dlg = RectOf(three), owner = RectOf(main);
  EXPECT_EQ((dlg.left + dlg.right) / 2, (owner.left + owner.right) / 2);
  EXPECT_EQ((dlg.top + dlg.bottom) / 2, (owner.top + owner.bottom) / 2);
  Post(three, CUploadProcessDlg::kItemUploaded);
  EXPECT_EQ(Text(three, "uploadprogresstext"), "33%  正在同步... 请稍后");
  auto* bar = dynamic_cast<CProgressUI*>(Control(three, "uploadprogess"));
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->GetValue(), 1);
  EXPECT_EQ(bar->GetMaxValue(), 3);
  Post(three, CUploadProcessDlg::kItemUploaded, 3);  // one more than the pass counted
  EXPECT_EQ(Text(three, "uploadprogresstext"), "100%  正在同步... 请稍后");

  HWND many = Open(200);
  Post(many, CUploadProcessDlg::kItemUploaded);
  EXPECT_EQ(Text(many, "uploadprogresstext"), "0%  正在同步... 请稍后");
  bar = dynamic_cast<CProgressUI*>(Control(many, "uploadprogess"));
  EXPECT_EQ(bar->GetValue(), 1);
  EXPECT_EQ(bar->GetMaxValue(), 200);
  Post(many, CUploadProcessDlg::kItemUploaded);
  EXPECT_EQ(Text(many, "uploadprogresstext"), "1%  正在同步... 请稍后");

  HWND none = Open(0);  // nothing to divide by: the text stays
  Post(none, CUploadProcessDlg::kItemUploaded);
  EXPECT_EQ(Text(none, "uploadprogresstext"), "0%  正在同步... 请稍后");
}

TEST_F(UploadProgress, AFailedPassListsOnlyUsersWithWaitingWeightsAndTheNextSuccessCountsBothPasses) {
  UserRecord& scaleUser = AddUser("a@example.test", "pw-a");
  UserRecord& stepUser = AddUser("b@example.test", "pw-b");
  UserRecord& idle = AddUser("c@example.test", "pw-c");
  // The failed pass sent two weights of the first user before the third failed, and two
  // pedometer days of the second user, whose day uploads never fail a pass.
  Weights(scaleUser, 2, 1);
  scaleUser.uploadedThisPass = 2;
  stepUser.uploadedThisPass = 2;
  Weights(idle, 4, 0);

  HWND failed = Open(5);
  Post(failed, CUploadProcessDlg::kItemUploaded, 4);
  EXPECT_FALSE(Control(failed, "下次同步不再提示")->IsEnabled());
  Post(failed, CUploadProcessDlg::kPassFailed);
  EXPECT_FALSE(Shown(failed, "progress"));
  EXPECT_TRUE(Shown(failed, "resultfail"));
  EXPECT_FALSE(Shown(failed, "resultsuccess"));
  EXPECT_TRUE(Shown(failed, "failuser1"));
  EXPECT_EQ(Text(failed, "failuser1"), "用户a@example.test ：1条");
  EXPECT_FALSE(Shown(failed, "failuser2"));
  EXPECT_EQ(Text(failed, "failtotal"), "1条");
  EXPECT_TRUE(Control(failed, "下次同步不再提示")->IsEnabled());
  EXPECT_EQ(dynamic_cast<CLabelUI*>(Control(failed, "tips"))->GetTextColor(), 0u);
  EXPECT_EQ(scaleUser.uploadedThisPass, 2);
  EXPECT_EQ(stepUser.uploadedThisPass, 2);
  // The summary stored the users: the waiting weight is in the file.
  UserList stored = StoredUsers();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(stored[0]->account, "a@example.test");
  EXPECT_EQ(stored[0]->datalist.size(), 1u);

  // The next pass sends the waiting weight.
  scaleUser.datalist.back().uploaded = true;
  ++scaleUser.uploadedThisPass;
  HWND finished = Open(1);
  Post(finished, CUploadProcessDlg::kItemUploaded);
  Post(finished, CUploadProcessDlg::kPassFinished);
  EXPECT_TRUE(Shown(finished, "resultsuccess"));
  EXPECT_FALSE(Shown(finished, "progress"));
  EXPECT_EQ(Text(finished, "successuser1"), "用户a@example.test ：3条");
  EXPECT_EQ(Text(finished, "successuser2"), "用户b@example.test ：2条");
  EXPECT_FALSE(Shown(finished, "successuser3"));
  EXPECT_EQ(Text(finished, "successtotal"), "5条");
  EXPECT_EQ(scaleUser.uploadedThisPass, 0);
  EXPECT_EQ(stepUser.uploadedThisPass, 0);
  EXPECT_TRUE(StoredUsers()[0]->datalist.empty());
}

TEST_F(UploadProgress, TickingTheOptionTurnsTheWindowOffInTheFileAndUntickingOnAgain) {
  ASSERT_TRUE(core->settings.ShowUpdateWindow);
  HWND dialog = Open(1);
  Post(dialog, CUploadProcessDlg::kPassFinished);
  auto saved = [&] {
    SettingsStore file;
    file.Load(core->settings.FilePath());
    return file.ShowUpdateWindow;
  };
  ASSERT_TRUE(toolkit::headless::Click(dialog, "下次同步不再提示"));
  EXPECT_FALSE(core->settings.ShowUpdateWindow);
  EXPECT_FALSE(saved());
  ASSERT_TRUE(toolkit::headless::Click(dialog, "下次同步不再提示"));
  EXPECT_TRUE(core->settings.ShowUpdateWindow);
  EXPECT_TRUE(saved());
  EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(UploadProgress, TheCloseButtonIKnowAndEscapeCloseIt) {
  for (const char* how : {"closebtn", "我知道了", "Escape"}) {
    SCOPED_TRACE(how);
    HWND dialog = Open(2);
    Post(dialog, CUploadProcessDlg::kPassFinished);
    if (std::string_view(how) == "Escape") {
      toolkit::headless::PressKey(dialog, VK_ESCAPE);
    } else {
      ASSERT_TRUE(toolkit::headless::Click(dialog, how));
    }
    Pump();
    EXPECT_FALSE(IsWindow(dialog));
  }
  // While the pass runs the window closes as well; the pass's later messages go nowhere.
  HWND running = Open(2);
  ASSERT_TRUE(toolkit::headless::Click(running, "closebtn"));
  Pump();
  EXPECT_FALSE(PostMessage(running, CUploadProcessDlg::kItemUploaded));
  EXPECT_TRUE(IsWindow(main));
}

}  // namespace
