// How the main window cuts the level picture and places a slot's menu button after the name.
#include "client/ui/frame/slot_texts.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "testing/temp_folder.h"

namespace {

TEST(SlotTexts, LevelsTakeTheirCellOfTheTenColumnPicture) {
  EXPECT_EQ(slot_texts::LevelImage(1, 255), "file='level.png' source='1,0,51,17' fade='255'");
  EXPECT_EQ(slot_texts::LevelImage(10, 255), "file='level.png' source='460,0,510,17' fade='255'");
  EXPECT_EQ(slot_texts::LevelImage(11, 134), "file='level.png' source='1,17,51,34' fade='134'");
  EXPECT_EQ(slot_texts::LevelImage(20, 255), "file='level.png' source='460,17,510,34' fade='255'");
  EXPECT_EQ(slot_texts::LevelOf(" 20"), 20);
  EXPECT_EQ(slot_texts::LevelOf("7级"), 7);
  EXPECT_EQ(slot_texts::LevelOf(""), 0);
  EXPECT_EQ(slot_texts::LevelOf("-3"), 0);
  EXPECT_EQ(slot_texts::LevelOf("99999999999999999999"), 0);
}

TEST(SlotTexts, TheMenuButtonFollowsTheNameUntilTheWidthIsCapped) {
  EXPECT_EQ(slot_texts::MenuButtonX("Alice"), 126);       // 35 + 7 + 84
  EXPECT_EQ(slot_texts::MenuButtonX("Alexandria"), 153);  // 77 reaches the cap
  EXPECT_EQ(slot_texts::MenuButtonX("张三李四王"), 153);  // 72 reaches the cap
  EXPECT_EQ(slot_texts::MenuButtonX("张三"), 84 + 33);
  EXPECT_EQ(slot_texts::MenuButtonX("Zoë"), 84 + 28);     // below U+0100 counts as Latin
  EXPECT_EQ(slot_texts::MenuButtonX(""), 91);
  EXPECT_EQ(slot_texts::MenuButtonAttributes(2, "Alice"),
            "name=\"User2_Menu\" float=\"true\" bkimage=\"usermenubtn.png\" pos=\"126, 22, 172, 26\" width=\"8\" "
            "height=\"4\" ");
}

TEST(SlotTexts, APictureNameThatCouldBreakOutOfItsSpecOrIsMissingShowsTheDefaultPicture) {
  testing_support::TempFolder folder;
  std::string users = folder.path() + "/";
  ASSERT_TRUE(platform::WriteFileAtomically(users + "a.jpg", "jpeg"));
  EXPECT_EQ(slot_texts::SelectedPicture(users, "a.jpg"), "file='" + users + "a.jpg' fade='255' mask='#000001'");
  EXPECT_EQ(slot_texts::UnselectedPicture(users, "a.jpg"), "file='../user/a.jpg' fade='125'");
  EXPECT_EQ(slot_texts::SelectedPicture(users, "b.jpg"), "file='DefaultUser.jpg' fade='255' mask='#000001'");
  for (const char* hostile : {"x' corner='1", "../../etc/passwd", "", "a\\b.jpg", "b.jpg"}) {
    EXPECT_EQ(slot_texts::UnselectedPicture(users, hostile), "file='DefaultUser.jpg' fade='125'") << hostile;
  }
}

}  // namespace
