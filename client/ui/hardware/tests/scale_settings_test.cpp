// The scale settings dialog driven headless: its opening values, the range options, live weights
// from the main window and what "确定" and the other ways out keep.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <filesystem>

#include "client/ui/hardware/hardware_set_dlg.h"
#include "client/ui/hardware/tests/hardware_test_support.h"
#include "client/core/client_messages.h"

namespace {

using toolkit::headless::Click;

intptr_t Bits(float weight) { return static_cast<intptr_t>(std::bit_cast<uint32_t>(weight)); }

// LC_NUMERIC with a decimal comma for the life of the object, where the machine has one.
class CommaLocale {
 public:
  CommaLocale() {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    saved_ = old ? old : "C";
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.utf8"}) {
      if (std::setlocale(LC_NUMERIC, name)) return;
    }
  }
  ~CommaLocale() { std::setlocale(LC_NUMERIC, saved_.c_str()); }

 private:
  std::string saved_;
};

class ScaleSettings : public hardware_testing::HardwareTest {
 protected:
  void SetUp() override {
    HardwareTest::SetUp();
    user = &AddUser("ben", "secret");
    user->standardweight = 71.2f;
    user->weightscope = 1.0f;
    context->core.StoreUser(*user);
  }

  // Runs the dialog; act runs while it stands.
  void Run(const std::function<void(HWND)>& act) {
    bool ran = false;
    WhenWindowStands("HardWareSet", [&](HWND dialog) {
      ran = true;
      act(dialog);
    });
    RunScaleSettingsDialog(*context, 0);
    EXPECT_TRUE(ran);
    EXPECT_EQ(WindowNamed("HardWareSet"), nullptr);
    EXPECT_EQ(context->scaleSettingsDialog, nullptr) << "the main window must forget the dialog";
  }

  UserRecord* user = nullptr;
};

TEST_F(ScaleSettings, TheOpeningValuesAreTheUsersAndTheRangeOptionIsTheNearestWithinAHundredth) {
  struct Case {
    float scope;
    const char* option;
  };
  for (const Case c : {Case{0.505f, "weight1"}, Case{1.0f, "weight2"}, Case{0.52f, "weight3"}, Case{2.0f, "weight3"}}) {
    SCOPED_TRACE(c.scope);
    user->weightscope = c.scope;
    Run([&](HWND dialog) {
      EXPECT_EQ(Text(dialog, "username"), "用户ben");
      EXPECT_EQ(Text(dialog, "userweight"), "71.2kg");
      EXPECT_EQ(BkImage(dialog, "userimage"), "DefaultUser.jpg") << "no picture downloaded yet";
      for (const char* option : {"weight1", "weight2", "weight3"}) {
        EXPECT_EQ(Selected(dialog, option), std::string(option) == c.option) << option;
      }
      EXPECT_EQ(Page(dialog), CHardWareSetDlg::kRangePage);
      EXPECT_NE(context->scaleSettingsDialog, nullptr);
      Click(dialog, "closebtn");
    });
    EXPECT_FLOAT_EQ(user->weightscope, c.scope);
  }
}

TEST_F(ScaleSettings, ALiveWeightBecomesTheReferenceWeightAndConfirmStoresItWithTheChosenRange) {
  CommaLocale comma;
  std::string picture = core->UserFolder() + "ben.jpg";
  ASSERT_TRUE(std::filesystem::copy_file(std::string(VYMERA_CLIENT_SKIN_FOLDER) + "/DefaultUser.jpg", picture));
  user->picture = "ben.jpg";
  Run([&](HWND dialog) {
    EXPECT_EQ(BkImage(dialog, "userimage"), picture);
    ASSERT_NE(context->scaleSettingsDialog, nullptr);
    Click(dialog, "recalibration");
    EXPECT_EQ(Page(dialog), CHardWareSetDlg::kWeighingPage);
    // The main window's scale part hands it the weight.
    EXPECT_TRUE(context->scaleSettingsDialog->PostMessage(client_messages::kMsgLiveWeight, 0, Bits(63.7f)));
    Pump();
    EXPECT_EQ(Text(dialog, "userweight"), "63.7kg");
    EXPECT_EQ(Page(dialog), CHardWareSetDlg::kRangePage);
    EXPECT_FLOAT_EQ(user->standardweight, 71.2f) << "nothing is kept before 确定";
    Click(dialog, "weight1");
    Click(dialog, "确定");
  });
  EXPECT_FLOAT_EQ(user->standardweight, 63.7f);
  EXPECT_FLOAT_EQ(user->weightscope, 0.5f);
  UserList file = StoredUsers();
  ASSERT_EQ(file.size(), 1u);
  EXPECT_NEAR(file[0]->standardweight, 63.7f, 0.001f);
  EXPECT_FLOAT_EQ(file[0]->weightscope, 0.5f);
}

TEST_F(ScaleSettings, ConfirmKeepsTheRangeOfEachOption) {
  for (const auto& [option, scope] : {std::pair{"weight1", 0.5f}, {"weight2", 1.0f}, {"weight3", 2.0f}}) {
    SCOPED_TRACE(option);
    Run([&](HWND dialog) {
      Click(dialog, option);
      Click(dialog, "确定");
    });
    EXPECT_FLOAT_EQ(user->weightscope, scope);
    EXPECT_FLOAT_EQ(StoredUsers().at(0)->weightscope, scope);
  }
}

TEST_F(ScaleSettings, EveryOtherWayOutKeepsTheUserAsItWas) {
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(way);
    Run([&](HWND dialog) {
      PostMessage(dialog, client_messages::kMsgLiveWeight, 0, Bits(80.0f));
      Pump();
      EXPECT_EQ(Text(dialog, "userweight"), "80.0kg");
      Click(dialog, "weight3");
      if (way == 0) Click(dialog, "取消");
      if (way == 1) Click(dialog, "closebtn");
      if (way == 2) toolkit::headless::PressKey(dialog, VK_ESCAPE);
    });
    EXPECT_FLOAT_EQ(user->standardweight, 71.2f);
    EXPECT_FLOAT_EQ(user->weightscope, 1.0f);
    EXPECT_FLOAT_EQ(StoredUsers().at(0)->standardweight, 71.2f);
  }
}

TEST_F(ScaleSettings, AMessageThatCarriesNoWeightChangesNothing) {
  Run([&](HWND dialog) {
    Click(dialog, "recalibration");
    PostMessage(dialog, client_messages::kMsgLiveWeight, 0, Bits(-3.0f));
    PostMessage(dialog, client_messages::kMsgLiveWeight, 0, static_cast<intptr_t>(0x7FC00000u));  // NaN
    Pump();
    EXPECT_EQ(Text(dialog, "userweight"), "71.2kg");
    EXPECT_EQ(Page(dialog), CHardWareSetDlg::kWeighingPage);
    Click(dialog, "确定");
  });
  EXPECT_FLOAT_EQ(user->standardweight, 71.2f);
}

TEST_F(ScaleSettings, ConfirmWhileASyncPassRunsKeepsTheDialogSoTheUserCanConfirmAgain) {
  DuringAPass(*user, [&] {
    Run([&](HWND dialog) {
      PostMessage(dialog, client_messages::kMsgLiveWeight, 0, Bits(66.6f));
      Pump();
      Click(dialog, "确定");
      EXPECT_TRUE(IsWindow(dialog));
      EXPECT_FLOAT_EQ(user->standardweight, 71.2f);
      EXPECT_NE(context->scaleSettingsDialog, nullptr);
      Click(dialog, "取消");
    });
  });
  EXPECT_EQ(BoxesCaptioned("Vymera同步软件").size(), 1u);
}

TEST_F(ScaleSettings, NoDialogStandsForAUserBeyondTheList) {
  RunScaleSettingsDialog(*context, 3);
  EXPECT_EQ(WindowNamed("HardWareSet"), nullptr);
  EXPECT_EQ(context->scaleSettingsDialog, nullptr);
}

}  // namespace
