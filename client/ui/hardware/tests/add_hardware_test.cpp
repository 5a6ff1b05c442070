// The add-hardware dialog driven headless against the reference service and the simulated
// devices: the list of what is attached, the choice, the binding step and the result page.
#include <gtest/gtest.h>

#include "client/ui/hardware/add_hardware_dlg.h"
#include "client/ui/hardware/tests/hardware_test_support.h"

namespace {

using client_testing::kPedometerId;
using client_testing::kScaleSerial;
using client_testing::kTrackerId;
using toolkit::headless::Click;

const std::string kScaleCode = std::string("W1") + kScaleSerial;
const std::string kTrackerCode = std::to_string(kTrackerId);
const std::string kPedometerCode = "A10020240601";

class AddHardware : public hardware_testing::HardwareTest {
 protected:
  void SetUp() override {
    HardwareTest::SetUp();
    user = &AddUser("amy", "secret");
    uid = std::stoll(user->uid);
    NoteMessages();
  }

  // Runs the dialog; onList acts on the list page once "下一步" has shown it.
  CAddHardWareDlg::Result Run(const std::function<void(HWND)>& onList) {
    WhenWindowStands("AddHardWare", [&](HWND dialog) {
      ran = true;
      EXPECT_EQ(Page(dialog), CAddHardWareDlg::kIntroPage);
      EXPECT_TRUE(Click(dialog, "下一步"));
      EXPECT_EQ(Page(dialog), CAddHardWareDlg::kListPage);
      onList(dialog);
      if (IsWindow(dialog)) {
        EXPECT_TRUE(Click(dialog, "取消"));
      }
    });
    CAddHardWareDlg::Result result = RunAddHardwareDialog(*context, 0);
    EXPECT_TRUE(ran);
    EXPECT_EQ(WindowNamed("AddHardWare"), nullptr);
    return result;
  }

  std::vector<service::Binding> ServiceBindings() { return service.Data().devices.BindingsOf(uid); }
  const UserRecord& StoredUser() {
    stored = StoredUsers();
    EXPECT_EQ(stored.size(), 1u);
    return *stored.at(0);
  }

  UserRecord* user = nullptr;
  int64_t uid = 0;
  bool ran = false;
  UserList stored;
};

TEST_F(AddHardware, WithNothingAttachedTheListSaysSoAndNextStaysDisabled) {
  auto result = Run([&](HWND dialog) {
    EXPECT_TRUE(Shown(dialog, "无硬件连接"));
    EXPECT_EQ(Text(dialog, "无硬件连接"), "没有硬件连接");
    EXPECT_FALSE(Shown(dialog, "down_list_tab"));
    EXPECT_FALSE(Enabled(dialog, "下一步"));
    auto* next = dynamic_cast<CButtonUI*>(Control(dialog, "下一步"));
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->GetNormalImage(), "okbtn.png");
    for (const char* row : {"硬件1", "硬件2", "硬件3"}) EXPECT_EQ(Control(dialog, row), nullptr) << row;
    Click(dialog, "下一步");
    EXPECT_EQ(Page(dialog), CAddHardWareDlg::kListPage);
  });
  EXPECT_FALSE(result.openSettings);
  EXPECT_TRUE(shownMessages.empty());
  EXPECT_FALSE(context->core.pedometer.Connected());
}

TEST_F(AddHardware, EveryAttachedDeviceTakesTheNextRowWithItsPictureNameAndSerial) {
  PlugTracker();
  PlugScale();
  PlugPedometer();
  Run([&](HWND dialog) {
    EXPECT_FALSE(Shown(dialog, "无硬件连接"));
    EXPECT_TRUE(Shown(dialog, "down_list_tab"));
    struct Row {
      const char* name;
      const char* picture;
      std::string serial;
      DeviceKind kind;
    };
    const Row rows[] = {{"运动追踪器", "计步器2.png", "序列号：" + kPedometerCode, DeviceKind::Pedometer},
                        {"网络健康秤", "健康称2.png", "序列号：" + kScaleCode, DeviceKind::Scale},
                        {"运动追踪器", "计步器2.png", "序列号：" + kTrackerCode, DeviceKind::Pace700}};
    for (int n = 1; n <= 3; ++n) {
      const Row& row = rows[n - 1];
      std::string number = std::to_string(n);
      SCOPED_TRACE(number);
      EXPECT_TRUE(Shown(dialog, "硬件" + number));
      EXPECT_EQ(Text(dialog, "Hard" + number + "_Name"), row.name);
      EXPECT_EQ(BkImage(dialog, "Hard" + number + "_image"), row.picture);
      EXPECT_EQ(Text(dialog, "Hard" + number + "_SN"), row.serial);
      EXPECT_EQ(Control(dialog, "SelectHard" + number)->GetTag(), static_cast<uintptr_t>(row.kind));
    }
  });
  EXPECT_TRUE(context->core.pedometer.Connected());
}

TEST_F(AddHardware, NextGoesWithWhetherAnyRowStaysChosen) {
  PlugScale();
  PlugTracker();
  Run([&](HWND dialog) {
    EXPECT_FALSE(Enabled(dialog, "下一步"));
    Click(dialog, "SelectHard2");
    EXPECT_TRUE(Enabled(dialog, "下一步"));
    Click(dialog, "SelectHard1");
    EXPECT_TRUE(Enabled(dialog, "下一步"));
    Click(dialog, "SelectHard1");
    EXPECT_TRUE(Enabled(dialog, "下一步")) << "row 2 is still chosen";
    Click(dialog, "SelectHard2");
    EXPECT_FALSE(Enabled(dialog, "下一步")) << "nothing chosen";
    Click(dialog, "SelectHard1");
    EXPECT_TRUE(Enabled(dialog, "下一步"));
    Click(dialog, "SelectHard1");
    EXPECT_FALSE(Enabled(dialog, "下一步"));
  });
  EXPECT_TRUE(ServiceBindings().empty());
}

TEST_F(AddHardware, BindingTheScaleAndTheTrackerInOneStepShowsBothPicturesAndKeepsBothBindings) {
  PlugScale();
  PlugTracker();
  tracker.StoreDay(2, 2024, 5, 18, "earlier");
  Run([&](HWND dialog) {
    Click(dialog, "SelectHard1");
    Click(dialog, "SelectHard2");
    Click(dialog, "下一步");
    EXPECT_EQ(Page(dialog), CAddHardWareDlg::kResultPage);
    EXPECT_TRUE(Shown(dialog, "SuccessScale_image"));
    EXPECT_TRUE(Shown(dialog, "SuccessStep_image"));
    EXPECT_FALSE(Shown(dialog, "Success_image"));
    EXPECT_TRUE(Shown(dialog, "hardset"));
    EXPECT_FALSE(Shown(dialog, "下一步"));
    EXPECT_EQ(dynamic_cast<CButtonUI*>(Control(dialog, "取消"))->GetNormalImage(), "okbtn.png");
  });
  // The last row first.
  EXPECT_EQ(shownMessages, (std::vector<std::string>{"steppinlesssuccess.png", "scalepinlesssuccess.png"}));

  const DeviceSlot& scaleSlot = user->Slot(DeviceKind::Scale);
  EXPECT_EQ(scaleSlot.serial, kScaleCode);
  EXPECT_EQ(scaleSlot.updatetime, "健康秤绑定成功");
  EXPECT_TRUE(scaleSlot.bound && scaleSlot.connected);
  EXPECT_FALSE(scaleSlot.syncState);
  const DeviceSlot& pace = user->Slot(DeviceKind::Pace700);
  EXPECT_EQ(pace.serial, kTrackerCode);
  EXPECT_EQ(pace.updatetime, "运动追踪器绑定成功");
  EXPECT_TRUE(pace.bound && pace.connected && pace.syncState);
  EXPECT_EQ(tracker.StoredDays(), 0);
  EXPECT_EQ(tracker.ClockSets(), 1);

  const UserRecord& file = StoredUser();
  EXPECT_EQ(file.Slot(DeviceKind::Scale).serial, kScaleCode);
  EXPECT_TRUE(file.Slot(DeviceKind::Scale).bound);
  EXPECT_EQ(file.Slot(DeviceKind::Pace700).serial, kTrackerCode);
  EXPECT_TRUE(file.Slot(DeviceKind::Pace700).bound);

  auto bindings = ServiceBindings();
  ASSERT_EQ(bindings.size(), 2u);
  EXPECT_EQ(bindings[0].code, kScaleCode);
  EXPECT_EQ(bindings[1].code, kTrackerCode);
}

TEST_F(AddHardware, BindingOnlyTheScaleOffersItsSettingsAndHardsetAsksForThem) {
  PlugScale();
  auto result = Run([&](HWND dialog) {
    Click(dialog, "SelectHard1");
    Click(dialog, "下一步");
    EXPECT_EQ(Page(dialog), CAddHardWareDlg::kResultPage);
    EXPECT_FALSE(Shown(dialog, "SuccessScale_image"));
    EXPECT_FALSE(Shown(dialog, "SuccessStep_image"));
    EXPECT_TRUE(Shown(dialog, "Success_image"));
    EXPECT_EQ(BkImage(dialog, "Success_image"), "健康称2.png");
    for (const char* shown : {"label1", "label2", "hardset"}) EXPECT_TRUE(Shown(dialog, shown)) << shown;
    EXPECT_TRUE(Click(dialog, "hardset"));
  });
  EXPECT_TRUE(result.openSettings);
  EXPECT_EQ(shownMessages, std::vector<std::string>{"scalepinlesssuccess.png"});
  EXPECT_TRUE(StoredUser().Slot(DeviceKind::Scale).bound);
}

TEST_F(AddHardware, APedometerBindKeepsOnlyItsLastDaySetsItsClockAndHidesTheScaleSettings) {
  PlugPedometer();
  for (int day = 17; day <= 19; ++day) pedometer->AddDay(2024, 5, day);
  auto result = Run([&](HWND dialog) {
    Click(dialog, "SelectHard1");
    Click(dialog, "下一步");
    EXPECT_EQ(Page(dialog), CAddHardWareDlg::kResultPage);
    EXPECT_TRUE(Shown(dialog, "Success_image"));
    EXPECT_EQ(BkImage(dialog, "Success_image"), "计步器2.png");
    for (const char* hidden : {"label1", "label2", "hardset"}) EXPECT_FALSE(Shown(dialog, hidden)) << hidden;
  });
  EXPECT_FALSE(result.openSettings);
  EXPECT_EQ(shownMessages, std::vector<std::string>{"steppinlesssuccess.png"});
  EXPECT_EQ(pedometer->Clears(), std::vector<int>{2});
  EXPECT_EQ(pedometer->DayCount(), 1);
  EXPECT_GE(pedometer->ClockSets(), 1);
  const DeviceSlot& step = user->Slot(DeviceKind::Pedometer);
  EXPECT_EQ(step.serial, kPedometerCode);
  EXPECT_EQ(step.updatetime, "运动追踪器绑定成功");
  EXPECT_TRUE(step.bound && step.connected && step.syncState);
  EXPECT_EQ(StoredUser().Slot(DeviceKind::Pedometer).serial, kPedometerCode);
}

TEST_F(AddHardware, AFifthPersonOnTheScaleIsRefusedWithFortyTwoAndTheListStays) {
  for (int i = 0; i < service::kPersonsPerScale; ++i) {
    int64_t other = service.AddAccount("family" + std::to_string(i), "pw");
    ASSERT_EQ(service.Data().devices.Bind(service::DeviceKind::Scale, other, kScaleCode, 0),
              service::BindOutcome::Bound);
  }
  PlugPedometer();
  PlugScale();
  PlugTracker();
  Run([&](HWND dialog) {
    for (const char* row : {"SelectHard1", "SelectHard2", "SelectHard3"}) Click(dialog, row);
    Click(dialog, "下一步");
    EXPECT_EQ(Page(dialog), CAddHardWareDlg::kListPage);
    EXPECT_TRUE(Shown(dialog, "下一步"));
    EXPECT_TRUE(Enabled(dialog, "下一步"));
  });
  // The tracker (last row) went through, the scale was refused, the pedometer was not tried.
  EXPECT_EQ(shownMessages, (std::vector<std::string>{"steppinlesssuccess.png", "pinlessfail_up4person.png"}));
  EXPECT_FALSE(user->Slot(DeviceKind::Scale).bound);
  EXPECT_EQ(user->Slot(DeviceKind::Scale).serial, "");
  EXPECT_FALSE(user->Slot(DeviceKind::Pedometer).bound);
  EXPECT_TRUE(pedometer->Clears().empty());
  EXPECT_TRUE(user->Slot(DeviceKind::Pace700).bound);
  const UserRecord& file = StoredUser();
  EXPECT_TRUE(file.Slot(DeviceKind::Pace700).bound) << "what the service took is in the file";
  EXPECT_FALSE(file.Slot(DeviceKind::Scale).bound);
  auto bindings = ServiceBindings();
  ASSERT_EQ(bindings.size(), 1u);
  EXPECT_EQ(bindings[0].kind, service::DeviceKind::Pace700);
}

TEST_F(AddHardware, WithoutAnAnswerEveryChosenRowIsTriedAndTheListStays) {
  PlugScale();
  PlugTracker();
  Run([&](HWND dialog) {
    service.Stop();
    Click(dialog, "SelectHard1");
    Click(dialog, "SelectHard2");
    Click(dialog, "下一步");
    EXPECT_EQ(Page(dialog), CAddHardWareDlg::kListPage);
  });
  EXPECT_EQ(shownMessages, (std::vector<std::string>{"messagebox_badnetwork.png", "messagebox_badnetwork.png"}));
  EXPECT_FALSE(user->Slot(DeviceKind::Scale).bound);
  EXPECT_FALSE(user->Slot(DeviceKind::Pace700).bound);
  EXPECT_EQ(tracker.Erases(), 0);
  EXPECT_FALSE(StoredUser().Slot(DeviceKind::Scale).bound);
}

TEST_F(AddHardware, ATrackerWithoutAnIdIsListedWithoutASerialAndSendsAnEmptyCode) {
  tracker.Attach(0);
  Run([&](HWND dialog) {
    EXPECT_EQ(Text(dialog, "Hard1_SN"), "无法读取硬件序列号");
    Click(dialog, "SelectHard1");
    Click(dialog, "下一步");
    EXPECT_EQ(Page(dialog), CAddHardWareDlg::kListPage);
  });
  // The service knows no tracker without an id: its own refusal code is shown as text.
  EXPECT_EQ(shownMessages, std::vector<std::string>{"text:21"});
  EXPECT_FALSE(user->Slot(DeviceKind::Pace700).bound);
}

TEST_F(AddHardware, TheDialogIsNotBuiltForAUserBeyondTheList) {
  auto result = RunAddHardwareDialog(*context, 1);
  EXPECT_FALSE(result.openSettings);
  EXPECT_EQ(WindowNamed("AddHardWare"), nullptr);
}

}  // namespace
