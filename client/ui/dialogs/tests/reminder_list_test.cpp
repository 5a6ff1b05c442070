// The reminder list below the main window's reminder button.
#include <gtest/gtest.h>

#include "client/ui/dialogs/tests/notice_rig.h"
#include "client/ui/dialogs/user_tixing_frame_wnd.h"
#include "toolkit/testing/headless.h"

namespace {

using notice_testing::NoticeTest;

class ReminderList : public NoticeTest {
 protected:
  UserRecord& UserWithCounts() {
    UserRecord& u = AddUser("a@example.test", "pw-a", false);
    u.logincode = "LC42";
    u.counts = {15, 1, 2, 3, 4, 5};
    return u;
  }
};

TEST_F(ReminderList, ItStandsBelowTheReminderButtonWithTheFiveCounts) {
  UserWithCounts();
  HWND list = OpenReminderList(*context, 0);
  ASSERT_TRUE(list);
  EXPECT_EQ(WindowNamed("TixingDlg"), list);
  EXPECT_TRUE(context->reminderListOpen);
  EXPECT_TRUE(IsWindowVisible(list));
  RECT at = RectOf(list), owner = RectOf(main);
  EXPECT_EQ(at.left, owner.left + 178);
  EXPECT_EQ(at.top, owner.top + 253);
  EXPECT_EQ(at.right - at.left, 210);
  EXPECT_EQ(at.bottom - at.top, 145);
  EXPECT_EQ(Text(list, "好友文字内容"), "1个新好友，{c #0c6eaf}查看好友{/c}");
  EXPECT_EQ(Text(list, "邀请文字内容"), "2个新邀请，{c #0c6eaf}查看邀请{/c}");
  EXPECT_EQ(Text(list, "私信文字内容"), "3条新私信，{c #0c6eaf}查看私信{/c}");
  EXPECT_EQ(Text(list, "回复文字内容"), "4条新回复，{c #0c6eaf}查看回复{/c}");
  EXPECT_EQ(Text(list, "通知文字内容"), "5条新通知，{c #0c6eaf}查看通知{/c}");
}

TEST_F(ReminderList, EachButtonOpensItsPageWithTheLoginCodeAndTheListStays) {
  UserWithCounts();
  HWND list = OpenReminderList(*context, 0);
  ASSERT_TRUE(list);
  for (const char* button : {"查看好友按钮", "查看邀请按钮", "查看私信按钮", "查看回复按钮", "查看通知按钮"}) {
    ASSERT_TRUE(toolkit::headless::Click(list, button)) << button;
  }
  const std::string site = client_testing::kMemberSite;
  EXPECT_EQ(OpenedPages(),
            (std::vector<std::string>{
                site + "softlogin.php?re_url=%2Ffriend.php%3Faction%3Dreqs%26type%3Dreadnew&logincode=LC42",
                site + "softlogin.php?re_url=%2Finvit.php%3Ftype%3Dreadnew&logincode=LC42",
                site + "softlogin.php?re_url=%2Fsnsmsg.php%3Ftype%3Dreadnew&logincode=LC42",
                site + "softlogin.php?re_url=%2Fusershare.php%3Faction%3Dre%26type%3Dnew&logincode=LC42",
                site + "softlogin.php?re_url=%2Fsnsmsg.php%3Faction%3Dsysmsg%26type%3Dnew&logincode=LC42"}));
  for (const auto& opened : toolkit::headless::Desktop().OpenedUrls()) EXPECT_EQ(opened.showCommand, SW_SHOWMAXIMIZED);
  Pump();
  EXPECT_TRUE(IsWindow(list));
  EXPECT_TRUE(context->reminderListOpen);
}

TEST_F(ReminderList, LosingTheFocusClosesItAndTellsTheMainWindow) {
  UserWithCounts();
  HWND list = OpenReminderList(*context, 0);
  ASSERT_TRUE(list);
  toolkit::headless::LoseFocus(list);
  Pump();
  EXPECT_FALSE(IsWindow(list));
  EXPECT_FALSE(context->reminderListOpen);

  // A list that goes with the main window tells it as well; a new one opens after that.
  HWND again = OpenReminderList(*context, 0);
  ASSERT_TRUE(again);
  EXPECT_TRUE(context->reminderListOpen);
  DestroyWindow(again);
  EXPECT_FALSE(context->reminderListOpen);
}

TEST_F(ReminderList, AnOldListGoingLateLeavesTheNewOnesFlag) {
  UserWithCounts();
  HWND old = OpenReminderList(*context, 0);
  toolkit::headless::LoseFocus(old);  // closes on its next message
  HWND fresh = OpenReminderList(*context, 0);
  ASSERT_TRUE(fresh);
  Pump();
  EXPECT_FALSE(IsWindow(old));
  EXPECT_TRUE(IsWindow(fresh));
  EXPECT_TRUE(context->reminderListOpen);
}

TEST_F(ReminderList, ThereIsNoListForAUserBeyondTheList) {
  EXPECT_EQ(OpenReminderList(*context, 0), nullptr);
  EXPECT_FALSE(context->reminderListOpen);
  EXPECT_EQ(WindowNamed("TixingDlg"), nullptr);
}

}  // namespace
