#include <gtest/gtest.h>

#include "client/core/sync/tests/sync_rig.h"

using namespace testing_support;

TEST(DetectionTick, MarksEachUsersBoundDevicesThatAreAttachedAndAsksEachDeviceOnce) {
  SyncRig rig;
  rig.PlugScale();
  rig.PlugPedometer();
  rig.PlugTracker();
  for (int i = 0; i < 4; ++i) rig.AddUser(std::to_string(i), 60, true, true, true);
  rig.users[3]->Slot(DeviceKind::Scale).serial = "W1OTHER";
  rig.users[3]->Slot(DeviceKind::Pedometer).serial = CHIDClass::IdText(1);
  rig.users[3]->Slot(DeviceKind::Pace700).serial = "1";
  rig.pedometer->SetClock(LocalFields(rig.clock.Now()));
  size_t enumerations = rig.host.EnumerateCalls();

  rig.engine.DetectionTick();
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(rig.users[i]->Slot(DeviceKind::Scale).connected) << i;
    EXPECT_TRUE(rig.users[i]->Slot(DeviceKind::Pedometer).connected) << i;
    EXPECT_TRUE(rig.users[i]->Slot(DeviceKind::Pace700).connected) << i;
  }
  EXPECT_FALSE(rig.users[3]->Slot(DeviceKind::Scale).connected);
  EXPECT_FALSE(rig.users[3]->Slot(DeviceKind::Pedometer).connected);
  EXPECT_FALSE(rig.users[3]->Slot(DeviceKind::Pace700).connected);
  // Pedometer: Open, the Open of Read id and the Open of Get clock (its clock is right); the scale once.
  EXPECT_EQ(rig.host.EnumerateCalls() - enumerations, 4u);
  EXPECT_EQ(rig.frame.refreshes, 1);
}

TEST(DetectionTick, SetsDeviceClocksOnlyWhenMoreThanFiveSecondsOff) {
  SyncRig rig;
  rig.PlugPedometer();
  rig.PlugTracker();
  rig.AddUser("1", 60, false, true, true);
  rig.pedometer->SetClock(LocalFields(rig.clock.Now() - 5));
  rig.tracker.SetClockOffset(5);
  rig.engine.DetectionTick();
  EXPECT_EQ(rig.pedometer->ClockSets(), 0);
  EXPECT_EQ(rig.tracker.ClockSets(), 0);

  rig.pedometer->SetClock(LocalFields(rig.clock.Now() - 6));
  rig.tracker.SetClockOffset(-6);
  rig.engine.DetectionTick();
  EXPECT_EQ(rig.pedometer->ClockSets(), 1);
  EXPECT_EQ(rig.tracker.ClockSets(), 1);
  std::tm now = LocalFields(rig.clock.Now());
  EXPECT_EQ(rig.pedometer->Clock().tm_min, now.tm_min);
}

TEST(DetectionTick, ClearsSyncedOnlyWhenTheDeviceIsGone) {
  SyncRig rig;
  rig.PlugScale();
  rig.PlugPedometer();
  rig.PlugTracker();
  UserRecord& u = rig.AddUser("1", 60, true, true, true);
  for (auto& slot : u.devices) slot.syncState = true;
  u.Slot(DeviceKind::Pedometer).serial = CHIDClass::IdText(99);  // another pedometer is attached
  rig.engine.DetectionTick();
  for (auto& slot : u.devices) EXPECT_TRUE(slot.syncState);

  rig.scale->Unplug();
  rig.pedometer->Unplug();
  rig.tracker.Detach();
  rig.engine.DetectionTick();
  for (auto& slot : u.devices) {
    EXPECT_FALSE(slot.syncState);
    EXPECT_FALSE(slot.connected);
  }
}
