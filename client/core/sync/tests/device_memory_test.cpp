// When the sync pass clears a device's memory: once the service has decided every day it holds,
// counting a day refused with an answer at three attachments in a row as decided.
#include <gtest/gtest.h>

#include "client/core/sync/day_settlement.h"
#include "client/core/sync/tests/sync_rig.h"

using namespace testing_support;

namespace {

constexpr const char* kRefusal = "<error_res><msg>设备未绑定</msg></error_res>";

// Answers every day upload with refusal for the date refused, and as stored otherwise.
FakeService::Rule Refusing(std::string refused, std::string refusal = kRefusal) {
  return [refused, refusal](const std::string&, const Form& f) -> std::string {
    return f.at("date") == refused ? refusal : "<pedup_res/>";
  };
}

}  // namespace

TEST(DaySettlement, ThreeRefusalsInARowSettleADayAndAnythingElseBreaksTheRow) {
  DaySettlement s;
  auto attach = [&](const std::string& device, std::initializer_list<std::pair<const char*, DayAnswer>> days) {
    std::vector<bool> settled;
    s.Begin(device);
    for (const auto& [day, answer] : days) settled.push_back(s.Settle(day, answer));
    s.End();
    return settled;
  };
  using A = DayAnswer;
  EXPECT_EQ(attach("ped:1", {{"5-1", A::Refused}, {"5-2", A::Uploaded}}), (std::vector<bool>{false, true}));
  EXPECT_EQ(attach("ped:2", {{"5-1", A::Refused}}), std::vector<bool>{false}) << "another device counts apart";
  EXPECT_EQ(attach("ped:1", {{"5-1", A::Unknown}, {"5-2", A::CountedAsUploaded}}), (std::vector<bool>{false, true}));
  EXPECT_EQ(attach("ped:1", {{"5-1", A::Refused}}), std::vector<bool>{true});
  EXPECT_EQ(attach("ped:1", {{"5-1", A::Refused}}), std::vector<bool>{true}) << "and stays settled while refused";

  EXPECT_EQ(attach("ped:1", {{"5-1", A::NoAnswer}}), std::vector<bool>{false});
  EXPECT_EQ(attach("ped:1", {{"5-1", A::Refused}}), std::vector<bool>{false}) << "no answer breaks the row";
  EXPECT_EQ(attach("ped:1", {}), std::vector<bool>{});
  EXPECT_EQ(attach("ped:1", {{"5-1", A::Refused}, {"5-1", A::Refused}}), (std::vector<bool>{false, false}))
      << "an attachment without the day breaks the row too, and a date held twice is two days";
  EXPECT_EQ(attach("ped:1", {{"5-1", A::Refused}, {"5-1", A::Refused}}), (std::vector<bool>{false, false}));
  EXPECT_EQ(attach("ped:1", {{"5-1", A::Refused}, {"5-1", A::Uploaded}}), (std::vector<bool>{true, true}));

  // Only so many devices are remembered; the one seen longest ago goes first.
  for (size_t i = 0; i < DaySettlement::kMaxDevices; ++i) attach("other:" + std::to_string(i), {{"d", A::Refused}});
  EXPECT_EQ(attach("ped:2", {{"5-1", A::Refused}}), std::vector<bool>{false}) << "ped:2 was forgotten";
}

TEST(DeviceMemory, APedometerDayTheServiceAlwaysRefusesIsClearedAtTheThirdAttachment) {
  SyncRig rig;
  rig.PedometerUserWithDays(3);
  rig.service.SetRule(Refusing("2024-5-19"));
  for (int attachment = 1; attachment <= 3; ++attachment) {
    if (attachment > 1) rig.ReattachPedometer();
    rig.engine.SyncPass();
    EXPECT_EQ(rig.pedometer->Clears().empty(), attachment < 3) << "attachment " << attachment;
  }
  EXPECT_EQ(rig.pedometer->Clears(), std::vector<int>{2});
  EXPECT_EQ(rig.pedometer->DayCount(), 1);
  EXPECT_EQ(rig.notifier.boxes.size(), 3u) << "the user saw each refusal";
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 9u);

  // What is left is the last day, already at the service; the next attachment sends it once more.
  rig.ReattachPedometer();
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 10u);
}

TEST(DeviceMemory, ADayRefusedOnceThenAcceptedIsClearedWhenItIsAccepted) {
  SyncRig rig;
  rig.PedometerUserWithDays(2);
  rig.service.SetRule(Refusing("2024-5-19", "<error_res><msg>服务器无法保存数据，请稍后再试</msg></error_res>"));
  rig.engine.SyncPass();
  EXPECT_TRUE(rig.pedometer->Clears().empty());

  rig.service.SetRule(nullptr);
  rig.ReattachPedometer();
  rig.engine.SyncPass();
  EXPECT_EQ(rig.pedometer->Clears(), std::vector<int>{1});
}

TEST(DeviceMemory, DaysWithoutAnAnswerAlwaysKeepTheMemory) {
  SyncRig rig;
  rig.PedometerUserWithDays(2);
  // No answer at all, then a refusal carried by an HTTP error, which is no decision of the service.
  rig.service.SetRule(Refusing("2024-5-19", ""));
  for (int attachment = 1; attachment <= 4; ++attachment) {
    if (attachment > 1) rig.ReattachPedometer();
    if (attachment == 3) {
      rig.service.SetRule(Refusing("2024-5-19"));
      rig.service.SetStatus(503);
    }
    rig.engine.SyncPass();
  }
  EXPECT_TRUE(rig.pedometer->Clears().empty());
  EXPECT_EQ(rig.pedometer->DayCount(), 2);
  EXPECT_TRUE(rig.notifier.boxes.empty());
}

TEST(DeviceMemory, ATrackerDayTheServiceAlwaysRefusesIsErasedAtTheThirdAttachment) {
  SyncRig rig;
  rig.PlugTracker();
  rig.tracker.StoreDay(3, 2024, 5, 18, "1,2,3");
  rig.tracker.StoreDay(4, 2024, 5, 19, "4,5,6");
  rig.AddUser("1", 60, false, false, true);
  rig.service.SetRule(Refusing("2024-05-18"));
  rig.engine.DetectionTick();
  for (int attachment = 1; attachment <= 3; ++attachment) {
    if (attachment > 1) {
      rig.tracker.Detach();
      rig.engine.DetectionTick();
      rig.tracker.Attach(kTrackerId);
      rig.engine.DetectionTick();
    }
    rig.engine.SyncPass();
    EXPECT_EQ(rig.tracker.Erases(), attachment < 3 ? 0 : 1) << "attachment " << attachment;
  }
  EXPECT_EQ(rig.tracker.StoredDays(), 0);
  EXPECT_EQ(rig.notifier.boxes.size(), 3u);
}

TEST(DeviceMemory, DaysWithoutAnAnswerAreSentAgainAfterTheBackOffWithoutAReattachment) {
  SyncRig rig;
  rig.PedometerUserWithDays(2);
  rig.service.SetRule(Refusing("2024-5-19", ""));
  rig.engine.SyncPass();
  size_t first = rig.service.Requests("ped.byte.up").size();
  ASSERT_GE(first, 2u);
  EXPECT_FALSE(rig.users[0]->Slot(DeviceKind::Pedometer).syncState) << "read again, not done";

  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), first) << "not at the next tick";

  // The service is back: after the back-off the days go up and the memory is cleared.
  rig.service.SetRule(nullptr);
  rig.clock.Advance(5);
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), first + 2);
  EXPECT_EQ(rig.pedometer->Clears().size(), 1u);
  EXPECT_TRUE(rig.users[0]->Slot(DeviceKind::Pedometer).syncState);
  rig.clock.Advance(600);
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), first + 2) << "a device read to its end is not read again";
}
