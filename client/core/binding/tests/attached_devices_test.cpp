// The list of attached devices against the simulated bus and tracker.
#include <gtest/gtest.h>

#include "client/core/binding/attached_devices.h"
#include "client/core/sync/tests/sync_rig.h"

namespace {

using testing_support::SyncRig;

TEST(AttachedDevices, NothingAttachedListsNothingAndThePedometerIsNotConnected) {
  SyncRig rig;
  rig.PlugPedometer();
  ASSERT_TRUE(rig.hid.Open());
  rig.pedometer->Unplug();
  EXPECT_TRUE(ListAttachedDevices(rig.hid, rig.scaleLink, rig.kit).empty());
  EXPECT_FALSE(rig.hid.Connected());
}

TEST(AttachedDevices, EveryKindIsListedOnceInPedometerScaleTrackerOrderWithItsCode) {
  SyncRig rig;
  rig.PlugTracker();
  rig.PlugScale();
  rig.PlugPedometer();
  auto listed = ListAttachedDevices(rig.hid, rig.scaleLink, rig.kit);
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[0].kind, DeviceKind::Pedometer);
  EXPECT_EQ(listed[0].code, "A1" + std::string("0020240601"));
  EXPECT_EQ(listed[0].serialText, "序列号：A10020240601");
  EXPECT_TRUE(rig.hid.Connected());
  EXPECT_EQ(listed[1].kind, DeviceKind::Scale);
  EXPECT_EQ(listed[1].code, "W15A0031C7");
  EXPECT_EQ(listed[1].serialText, "序列号：W15A0031C7");
  EXPECT_EQ(listed[2].kind, DeviceKind::Pace700);
  EXPECT_EQ(listed[2].code, "8800123456789");
  EXPECT_EQ(listed[2].serialText, "序列号：8800123456789");
}

TEST(AttachedDevices, DevicesWhoseIdCannotBeReadAreListedWithoutACode) {
  SyncRig rig;
  rig.tracker.Attach(0);
  rig.PlugPedometer();
  rig.pedometer->CorruptEchoes(1);
  auto listed = ListAttachedDevices(rig.hid, rig.scaleLink, rig.kit);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].kind, DeviceKind::Pedometer);
  EXPECT_EQ(listed[0].code, "");
  EXPECT_EQ(listed[0].serialText, "");
  EXPECT_EQ(listed[1].kind, DeviceKind::Pace700);
  EXPECT_EQ(listed[1].code, "");
  EXPECT_EQ(listed[1].serialText, "");
}

}  // namespace
