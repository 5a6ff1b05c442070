// What runs while the sync pass pumps messages: timer ticks and the windows' changes to users.
#include <gtest/gtest.h>

#include "client/core/sync/tests/sync_rig.h"

using namespace testing_support;

TEST(PassSafety, UserChangesAreRefusedWhileAPassRunsAndTakeEffectAfterIt) {
  SyncRig rig;
  UserRecord& u = rig.PedometerUserWithDays(2);
  rig.AddUser("2", 60, false, false, false);
  XmlDocument answer;
  answer.LoadText("<?xml version=\"1.0\"?><user_res><uid>99</uid><hards/></user_res>");

  std::vector<UserChange> during;
  rig.pacer.onPump = [&] {
    rig.engine.DetectionTick();
    during.push_back(rig.changes.Remove(0));
    during.push_back(rig.changes.ClearAccount(0));
    during.push_back(rig.changes.Login(0, answer.Root()));
    during.push_back(rig.changes.Logout(0));
    during.push_back(rig.changes.Edit(0, [](UserRecord& r) { r.Slot(DeviceKind::Pedometer) = {}; }));
    during.push_back(rig.changes.Add(std::make_unique<UserRecord>()));
  };
  rig.engine.SyncPass();
  ASSERT_FALSE(during.empty());
  for (UserChange c : during) EXPECT_EQ(c, UserChange::PassRunning);
  ASSERT_EQ(rig.users.size(), 2u);
  EXPECT_EQ(rig.users[0].get(), &u);
  EXPECT_EQ(u.uid, "1");
  EXPECT_TRUE(u.Slot(DeviceKind::Pedometer).bound);
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 2u);
  EXPECT_EQ(rig.pedometer->Clears(), std::vector<int>{1});
  EXPECT_TRUE(u.Slot(DeviceKind::Pedometer).syncState);

  rig.pacer.onPump = nullptr;
  EXPECT_EQ(rig.changes.Login(0, answer.Root()), UserChange::Done);
  EXPECT_EQ(u.uid, "99");
  EXPECT_FALSE(u.Slot(DeviceKind::Pedometer).bound);
  EXPECT_EQ(rig.changes.Logout(0), UserChange::Done);
  EXPECT_FALSE(u.loggedIn);
  EXPECT_EQ(rig.changes.Remove(5), UserChange::NoSuchUser);
  EXPECT_EQ(rig.changes.ClearAccount(1), UserChange::Done);
  EXPECT_EQ(rig.changes.Remove(0), UserChange::Done);
  EXPECT_TRUE(rig.users.empty());
  EXPECT_EQ(rig.changes.Add(std::make_unique<UserRecord>()), UserChange::Done);
  EXPECT_EQ(rig.users.size(), 1u);
}

TEST(PassSafety, APedometerPulledAndPluggedBackDuringThePassIsReadAgainAtItsNextAttachment) {
  SyncRig rig;
  UserRecord& u = rig.PedometerUserWithDays(2);
  // The pass pumps once before its uploads and after every day that went up.
  rig.pacer.onPump = [&] {
    if (rig.pacer.pumps == 2) rig.ReattachPedometer();
  };
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 2u);
  EXPECT_FALSE(u.Slot(DeviceKind::Pedometer).syncState) << "the attachment at the end is not the one read";

  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 3u) << "the block left after clearing is read again";
  EXPECT_TRUE(u.Slot(DeviceKind::Pedometer).syncState);
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 3u);
}

TEST(PassSafety, AnotherPedometerPutInDuringThePassIsNeitherClearedNorGivenTheProfile) {
  SyncRig rig;
  UserRecord& u = rig.PedometerUserWithDays(2);
  auto other = std::make_shared<sim::SimPedometer>(777, "sim:pedometer:other");
  other->AddDay(2024, 4, 1);
  other->AddDay(2024, 4, 2);
  rig.pacer.onPump = [&] {
    if (!rig.pedometer->Plugged()) return;
    // Swapped faster than a tick: only the device itself can tell.
    rig.pedometer->Unplug();
    rig.host.Attach(other);
  };
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 2u);
  EXPECT_TRUE(other->Clears().empty());
  EXPECT_EQ(other->DayCount(), 2);
  EXPECT_FALSE(other->LastProfile());
  EXPECT_FALSE(u.Slot(DeviceKind::Pedometer).syncState);
  EXPECT_EQ(rig.notifier.posted.back(), SyncNotifier::kPassFinished) << "the days that went up are not a failure";
}

TEST(PassSafety, ATrackerPulledDuringThePassIsNotErasedAndIsReadAgainWhenBack) {
  SyncRig rig;
  rig.PlugTracker();
  rig.tracker.StoreDay(1, 2024, 5, 18, "1");
  rig.tracker.StoreDay(2, 2024, 5, 19, "2");
  UserRecord& u = rig.AddUser("1", 60, false, false, true);
  rig.engine.DetectionTick();
  rig.pacer.onPump = [&] {
    if (rig.pacer.pumps != 2) return;
    rig.tracker.Detach();
    rig.engine.DetectionTick();
  };
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("K700.byte.up").size(), 1u) << "the tracker gave its first day only";
  EXPECT_EQ(rig.tracker.Erases(), 0);
  EXPECT_FALSE(rig.tracker.LastParameters());
  EXPECT_FALSE(u.Slot(DeviceKind::Pace700).syncState);
  EXPECT_TRUE(u.Slot(DeviceKind::Pace700).updatetime.empty());

  rig.tracker.Attach(kTrackerId);
  rig.engine.DetectionTick();
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("K700.byte.up").size(), 3u);
  EXPECT_EQ(rig.tracker.Erases(), 1);
  EXPECT_TRUE(u.Slot(DeviceKind::Pace700).syncState);
}

TEST(PassSafety, AStopEndsThePassAfterTheItemItIsOnAndLeavesTheRestForTheNextPass) {
  SyncRig rig;
  UserRecord& u = rig.PedometerUserWithDays(3);
  rig.AddUser("2", 60, true, false, false).datalist = {{61.0f, "2024-5-20", false, false, "2024-5-20-08-00-00"}};
  // The pass pumps once before its uploads and after every day that went up.
  rig.pacer.onPump = [&] {
    if (rig.pacer.pumps == 2) rig.engine.RequestStop();
  };
  rig.engine.SyncPass();
  EXPECT_FALSE(rig.engine.Running());
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 1u);
  EXPECT_TRUE(rig.service.Requests("scale.weight.up").empty());
  EXPECT_TRUE(rig.pedometer->Clears().empty()) << "days the service has not seen stay on the device";
  EXPECT_FALSE(u.Slot(DeviceKind::Pedometer).syncState);
  EXPECT_FALSE(rig.users[1]->datalist[0].uploaded);
  EXPECT_TRUE(rig.notifier.alerts.empty());
  EXPECT_EQ(rig.notifier.Count(SyncNotifier::kPassFinished), 0);

  rig.pacer.onPump = nullptr;
  rig.engine.RequestStop();  // no pass runs: nothing to stop, and the next pass is not stopped
  rig.engine.SyncPass();
  EXPECT_EQ(rig.pedometer->Clears(), std::vector<int>{2});
  EXPECT_TRUE(u.Slot(DeviceKind::Pedometer).syncState);
}
