// Binding and unbinding against a scripted service: what each answer does to the record, to the
// device and to what the user is told.
#include <gtest/gtest.h>

#include "client/core/binding/device_binding.h"
#include "client/core/sync/tests/sync_rig.h"

namespace {

using testing_support::Form;
using testing_support::SyncRig;

class Binding : public ::testing::Test {
 protected:
  void Answer(std::string body) {
    rig.service.SetRule([body](const std::string&, const Form&) { return body; });
  }
  UserRecord& User() {
    if (rig.users.empty()) rig.AddUser("1234", 60, false, false, false);
    return *rig.users.front();
  }

  SyncRig rig;
  DeviceBinding binding{rig.api, rig.hid, rig.kit};
};

TEST_F(Binding, AnAcceptedScaleIsBoundConnectedAndLeftForTheNextPassToSync) {
  Answer("<pinless_res><code>W15A0031C7</code><pintext>ok</pintext></pinless_res>");
  UserRecord& user = User();
  user.Slot(DeviceKind::Scale).syncState = true;
  BindStep step = binding.Bind(DeviceKind::Scale, user, "W15A0031C7");
  EXPECT_EQ(step.result, BindResult::Bound);
  EXPECT_EQ(step.notice.kind, BindingNotice::Kind::Message);
  EXPECT_EQ(step.notice.text, "健康秤绑定成功");
  const DeviceSlot& slot = user.Slot(DeviceKind::Scale);
  EXPECT_EQ(slot.serial, "W15A0031C7");
  EXPECT_EQ(slot.updatetime, "健康秤绑定成功");
  EXPECT_TRUE(slot.connected);
  EXPECT_TRUE(slot.bound);
  EXPECT_FALSE(slot.syncState);
  auto sent = rig.service.Requests("scale.code.pinless");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["scalecode"], "W15A0031C7");
  EXPECT_EQ(sent[0]["user_id"], "1234");
}

TEST_F(Binding, AnAcceptedPedometerKeepsOnlyItsLastDayAndTakesThePcsTime) {
  Answer("<pinless_res><pintext>ok</pintext></pinless_res>");
  rig.PlugPedometer();
  for (int day = 1; day <= 4; ++day) rig.pedometer->AddDay(2024, 5, day);
  BindStep step = binding.Bind(DeviceKind::Pedometer, User(), "A10020240601");
  EXPECT_EQ(step.result, BindResult::Bound);
  EXPECT_EQ(step.notice.text, "计步器绑定成功");
  const DeviceSlot& slot = User().Slot(DeviceKind::Pedometer);
  EXPECT_EQ(slot.serial, "A10020240601");
  EXPECT_EQ(slot.updatetime, "运动追踪器绑定成功");
  EXPECT_TRUE(slot.connected && slot.bound && slot.syncState);
  EXPECT_EQ(rig.pedometer->Clears(), std::vector<int>{3});
  EXPECT_EQ(rig.pedometer->DayCount(), 1);
  EXPECT_GE(rig.pedometer->ClockSets(), 1);
  EXPECT_EQ(rig.service.Requests("ped.code.pinless").at(0)["pedcode"], "A10020240601");
}

TEST_F(Binding, AnAcceptedTrackerIsErasedAndSetToThePcsTimeOnlyWhenTheEraseWorked) {
  Answer("<pinless_res><pintext>ok</pintext></pinless_res>");
  rig.PlugTracker();
  rig.tracker.StoreDay(3, 2024, 5, 17, "data");
  EXPECT_EQ(binding.Bind(DeviceKind::Pace700, User(), "8800123456789").result, BindResult::Bound);
  EXPECT_EQ(rig.tracker.Erases(), 1);
  EXPECT_EQ(rig.tracker.StoredDays(), 0);
  EXPECT_EQ(rig.tracker.ClockSets(), 1);
  EXPECT_TRUE(User().Slot(DeviceKind::Pace700).syncState);
  EXPECT_EQ(User().Slot(DeviceKind::Pace700).updatetime, "运动追踪器绑定成功");

  rig.tracker.SetEraseFails(true);
  EXPECT_EQ(binding.Bind(DeviceKind::Pace700, User(), "").result, BindResult::Bound);
  EXPECT_EQ(rig.tracker.ClockSets(), 1);
  auto sent = rig.service.Requests("K700.code.pinless");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[1].count("pedcode"), 1u);
  EXPECT_EQ(sent[1]["pedcode"], "");
}

TEST_F(Binding, EveryOtherAnswerLeavesTheRecordAsItWasAndSaysWhy) {
  struct Case {
    const char* body;
    BindResult result;
    BindingNotice::Kind kind;
    const char* text;
  };
  const Case cases[] = {
      {"", BindResult::NoAnswer, BindingNotice::Kind::Message, "网络错误"},
      {"<pinless_res><code>W1X</code></pinless_res>", BindResult::Refused, BindingNotice::Kind::None, ""},
      {"<error_res><code>42</code><msg>满了</msg></error_res>", BindResult::Refused, BindingNotice::Kind::Message,
       "42"},
      {"<error_res><msg>坏了</msg></error_res>", BindResult::Refused, BindingNotice::Kind::Message, "未知错误"},
      {"<error_res><code></code></error_res>", BindResult::Refused, BindingNotice::Kind::Message, "未知错误"},
      {"<root/>", BindResult::Refused, BindingNotice::Kind::Message, "未知错误"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    Answer(c.body);
    UserRecord& user = User();
    user.Slot(DeviceKind::Scale) = {"W1OLD", "上一次同步时间为:2024-5-1 8:0:0", false, true, false};
    BindStep step = binding.Bind(DeviceKind::Scale, user, "W1NEW");
    EXPECT_EQ(step.result, c.result);
    EXPECT_EQ(step.notice.kind, c.kind);
    EXPECT_EQ(step.notice.text, c.text);
    EXPECT_EQ(user.Slot(DeviceKind::Scale).serial, "W1OLD");
    EXPECT_EQ(user.Slot(DeviceKind::Scale).updatetime, "上一次同步时间为:2024-5-1 8:0:0");
    EXPECT_FALSE(user.Slot(DeviceKind::Scale).connected);
  }
}

TEST_F(Binding, AServicesLongTextIsCutBeforeItIsShown) {
  std::string longCode(500, 'x');
  Answer("<error_res><code>" + longCode + "</code></error_res>");
  EXPECT_EQ(binding.Bind(DeviceKind::Scale, User(), "W1").notice.text, std::string(DeviceBinding::kMaxShownChars, 'x'));
  std::string longMsg;
  for (int i = 0; i < 300; ++i) longMsg += "错";
  Answer("<error_res><msg>" + longMsg + "</msg></error_res>");
  UnbindStep step = binding.Unbind(DeviceKind::Scale, User());
  EXPECT_EQ(step.notice.text.size(), DeviceBinding::kMaxShownChars * std::string("错").size());
}

TEST_F(Binding, AnAcceptedUnbindEmptiesTheSerialAndBoundFlagAndKeepsTheLastUpdate) {
  Answer("<cancel_res><cancel>1</cancel></cancel_res>");
  UserRecord& user = User();
  user.Slot(DeviceKind::Pace700) = {"8800123456789", "上一次同步时间为:2024-5-1 8:0:0", true, true, true};
  UnbindStep step = binding.Unbind(DeviceKind::Pace700, user);
  EXPECT_TRUE(step.done);
  EXPECT_EQ(step.notice.kind, BindingNotice::Kind::Message);
  EXPECT_EQ(step.notice.text, "解除绑定成功");
  EXPECT_EQ(user.Slot(DeviceKind::Pace700).serial, "");
  EXPECT_FALSE(user.Slot(DeviceKind::Pace700).bound);
  EXPECT_EQ(user.Slot(DeviceKind::Pace700).updatetime, "上一次同步时间为:2024-5-1 8:0:0");
  auto sent = rig.service.Requests("K700.hard.cancel");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["user_id"], "1234");
  EXPECT_EQ(sent[0].count("pedcode"), 0u);
}

TEST_F(Binding, ARefusedUnbindKeepsTheDeviceAndTellsTheServicesTextInABox) {
  struct Case {
    const char* body;
    BindingNotice::Kind kind;
    const char* text;
  };
  const Case cases[] = {
      {"", BindingNotice::Kind::Message, "网络错误"},
      {"<cancel_res/>", BindingNotice::Kind::None, ""},
      {"<error_res><code>24</code><msg>没有绑定</msg></error_res>", BindingNotice::Kind::Box, "没有绑定"},
      {"<error_res><code>24</code></error_res>", BindingNotice::Kind::Box, "用户解除绑定未知错误"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    Answer(c.body);
    UserRecord& user = User();
    user.Slot(DeviceKind::Pedometer) = {"A10020240601", "", true, true, false};
    UnbindStep step = binding.Unbind(DeviceKind::Pedometer, user);
    EXPECT_FALSE(step.done);
    EXPECT_EQ(step.notice.kind, c.kind);
    EXPECT_EQ(step.notice.text, c.text);
    if (c.kind == BindingNotice::Kind::Box) {
      EXPECT_EQ(step.notice.caption, "解除绑定错误");
    }
    EXPECT_EQ(user.Slot(DeviceKind::Pedometer).serial, "A10020240601");
    EXPECT_TRUE(user.Slot(DeviceKind::Pedometer).bound);
  }
}

}  // namespace
