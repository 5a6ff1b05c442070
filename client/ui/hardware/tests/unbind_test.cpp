// Unbinding a device from the main window against the reference service.
#include <gtest/gtest.h>

#include "client/ui/hardware/binding_feedback.h"
#include "client/ui/hardware/tests/hardware_test_support.h"

namespace {

const std::string kScaleCode = std::string("W1") + client_testing::kScaleSerial;

class Unbind : public hardware_testing::HardwareTest {
 protected:
  void SetUp() override {
    HardwareTest::SetUp();
    user = &AddUser("cai", "secret");
    uid = std::stoll(user->uid);
    ASSERT_EQ(service.Data().devices.Bind(service::DeviceKind::Scale, uid, kScaleCode, 0), service::BindOutcome::Bound);
    user->Slot(DeviceKind::Scale) = {kScaleCode, "上一次同步时间为:2024-5-20 8:30:0", true, true, true};
    context->core.StoreUser(*user);
    NoteMessages();
  }

  UserRecord* user = nullptr;
  int64_t uid = 0;
};

TEST_F(Unbind, UnbindingTheScaleClearsItsSerialAndBoundFlagButLeavesItsLastUpdate) {
  EXPECT_TRUE(UnbindDevice(*context, 0, DeviceKind::Scale));
  EXPECT_EQ(shownMessages, std::vector<std::string>{"unpinlesssuccess.png"});
  const DeviceSlot& slot = user->Slot(DeviceKind::Scale);
  EXPECT_EQ(slot.serial, "");
  EXPECT_FALSE(slot.bound);
  EXPECT_EQ(slot.updatetime, "上一次同步时间为:2024-5-20 8:30:0");
  EXPECT_TRUE(service.Data().devices.BindingsOf(uid).empty());
  UserList file = StoredUsers();
  ASSERT_EQ(file.size(), 1u);
  EXPECT_EQ(file[0]->Slot(DeviceKind::Scale).serial, "");
  EXPECT_FALSE(file[0]->Slot(DeviceKind::Scale).bound);
  EXPECT_TRUE(toolkit::headless::Desktop().MessageBoxes().empty());
}

TEST_F(Unbind, ARefusalShowsTheServicesTextInTheSystemBoxAndKeepsTheDevice) {
  EXPECT_FALSE(UnbindDevice(*context, 0, DeviceKind::Pedometer));
  auto boxes = toolkit::headless::Desktop().MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "解除绑定错误");
  EXPECT_NE(boxes[0].text.find("没有绑定"), std::string::npos) << boxes[0].text;
  EXPECT_TRUE(shownMessages.empty());
  EXPECT_TRUE(user->Slot(DeviceKind::Scale).bound);
  EXPECT_EQ(service.Data().devices.BindingsOf(uid).size(), 1u);
}

TEST_F(Unbind, WithoutAnAnswerNothingChangesAndTheUserIsToldOfTheNetwork) {
  service.Stop();
  EXPECT_FALSE(UnbindDevice(*context, 0, DeviceKind::Scale));
  EXPECT_EQ(shownMessages, std::vector<std::string>{"messagebox_badnetwork.png"});
  EXPECT_EQ(user->Slot(DeviceKind::Scale).serial, kScaleCode);
  EXPECT_TRUE(user->Slot(DeviceKind::Scale).bound);
  EXPECT_TRUE(StoredUsers().at(0)->Slot(DeviceKind::Scale).bound);
}

TEST_F(Unbind, WhileASyncPassRunsNothingIsSentAndTheUserIsToldToWait) {
  DuringAPass(*user, [&] { EXPECT_FALSE(UnbindDevice(*context, 0, DeviceKind::Scale)); });
  EXPECT_EQ(BoxesCaptioned("Vymera同步软件"), std::vector<std::string>{"正在同步数据，请在同步结束后再试。"});
  EXPECT_EQ(user->Slot(DeviceKind::Scale).serial, kScaleCode);
  EXPECT_EQ(service.Data().devices.BindingsOf(uid).size(), 1u);
  EXPECT_TRUE(UnbindDevice(*context, 0, DeviceKind::Scale)) << "after the pass it goes through";
}

TEST_F(Unbind, AUserBeyondTheListIsNotSentAnything) {
  EXPECT_FALSE(UnbindDevice(*context, 5, DeviceKind::Scale));
  EXPECT_TRUE(shownMessages.empty());
  EXPECT_TRUE(toolkit::headless::Desktop().MessageBoxes().empty());
  EXPECT_EQ(service.Data().devices.BindingsOf(uid).size(), 1u);
}

}  // namespace
