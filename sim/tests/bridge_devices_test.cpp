// The client's own device code over the bridge: the pedometer and the scale read through a served
// desk exactly as they read the in-process simulators.

#include <gtest/gtest.h>

#include "client/core/devices/hid_class.h"
#include "client/core/devices/local_time.h"
#include "client/core/devices/scale_link.h"
#include "client/core/devices/tests/fakes.h"
#include "platform/hid/bridge_host.h"
#include "sim/tests/bridge_rig.h"

using testing_support::FixedClock;
using testing_support::RecordingTarget;

namespace {

struct BridgedPedometer {
  bridge_test::ServedDesk served;
  FixedClock clock{FixedClock::LocalTime(2024, 6, 1, 21, 45, 7)};
  platform::BridgeHidHost host{served.socket};
  CHIDClass hid{host, clock};
  sim::SimPedometer& ped = served.desk.Pedometer();
};

struct BridgedScale {
  bridge_test::ServedDesk served;
  FixedClock clock;
  platform::BridgeHidHost host{served.socket};
  RecordingTarget window;
  PendingWeights pending;
  ScaleLink link{host, clock};
  size_t handled = 0;

  BridgedScale() { link.SetFrameTarget(&window); }
  void Handle(size_t count) {
    ASSERT_TRUE(window.WaitFor(count));
    for (; handled < count; ++handled) {
      ASSERT_EQ(window.Messages()[handled].message, ScaleLink::kFrameMessage);
      link.HandleFrameMessage(pending, nullptr);
    }
  }
  void Run(const std::string& line) { ASSERT_TRUE(served.commands.Run(line).ok) << line; }
};

}  // namespace

TEST(BridgedDevices, ThePedometerGivesItsIdAndEveryDayAndTakesTheClock) {
  BridgedPedometer rig;
  rig.ped.AddDay(2024, 5, 30, 0x21);
  rig.ped.AddDay(2024, 5, 31, 0x22);
  rig.ped.AddDay(2024, 6, 1, 0x23);
  ASSERT_TRUE(rig.hid.ReadId());
  EXPECT_EQ(CHIDClass::IdText(rig.hid.LastDeviceId()), "A10020240601");
  auto count = rig.hid.ReadDays();
  ASSERT_TRUE(count);
  EXPECT_EQ(*count, 3);
  const auto& days = rig.hid.Days();
  ASSERT_EQ(days.size(), 3u);
  EXPECT_EQ(days[1].month, 5);
  EXPECT_EQ(days[1].day, 31);
  auto block = rig.ped.Block(1);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), days[1].data.begin()));
  EXPECT_EQ(rig.ped.MemoryReads(), 1 + 4 * 18);
  EXPECT_EQ(rig.ped.ClockSets(), 1);
  EXPECT_EQ(rig.ped.Clock().tm_hour, 21);
  EXPECT_EQ(rig.ped.Clock().tm_sec, 7);

  rig.hid.ClearDays(2);
  EXPECT_EQ(rig.ped.DayCount(), 1);
}

TEST(BridgedDevices, APedometerFullOfDaysAndOneWithAWrongEchoReadAsInProcess) {
  BridgedPedometer rig;
  for (int i = 0; i < 30; ++i) ASSERT_TRUE(rig.served.commands.Run("pedometer-day 2024-04-" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1)).ok);
  ASSERT_TRUE(rig.hid.ReadId());
  EXPECT_EQ(rig.hid.ReadDays(), 30);
  rig.ped.CorruptEchoes(1);
  EXPECT_FALSE(rig.hid.ReadDays());
  EXPECT_TRUE(rig.hid.Days().empty());
}

TEST(BridgedDevices, APedometerUnpluggedOnTheDeskIsGoneForTheClient) {
  BridgedPedometer rig;
  ASSERT_TRUE(rig.hid.ReadId());
  rig.served.commands.Run("unplug pedometer");
  EXPECT_FALSE(rig.hid.ReadId());
  EXPECT_FALSE(rig.hid.Connected());
  rig.served.commands.Run("plug pedometer");
  EXPECT_TRUE(rig.hid.ReadId());
}

TEST(BridgedDevices, TheScaleIsFoundByItsSerialAndAWeighingFromTheDeskBecomesAReading) {
  BridgedScale rig;
  ASSERT_TRUE(rig.link.Detect());
  EXPECT_EQ(rig.link.Serial(), "W15A0031C7");
  rig.Run("weigh 68.4");
  rig.Handle(1);
  ASSERT_EQ(rig.pending.Size(), 1u);
  EXPECT_FLOAT_EQ(rig.pending.Readings()[0].weight, 68.4f);
  EXPECT_EQ(rig.pending.Readings()[0].time, DateText(LocalFields(rig.clock.Now())));

  // Readings kept in the scale's memory follow the next live one, dated when they were taken.
  rig.Run("store 70.1 2024-03-05T08:00");
  rig.Run("weigh 68.6");
  rig.Handle(3);
  ASSERT_EQ(rig.pending.Size(), 3u);
  EXPECT_EQ(rig.pending.Readings()[2].exacttime, "2024-03-05-08-00-00");

  // Every frame was acknowledged as the scale expects; the acknowledgements went back over the bridge.
  auto acks = rig.served.desk.Scale().Acks();
  ASSERT_EQ(acks.size(), 3u);
  for (const auto& ack : acks) EXPECT_TRUE(ack.matched);
  EXPECT_EQ(rig.served.desk.Scale().Unanswered(), 0u);
}

TEST(BridgedDevices, TheScaleUnpluggedOnTheDeskIsGivenUpAndFoundAgainWhenPluggedIn) {
  BridgedScale rig;
  ASSERT_TRUE(rig.link.Detect());
  rig.Run("unplug scale");
  EXPECT_FALSE(rig.link.Detect());
  EXPECT_FALSE(rig.link.Connected());
  rig.Run("plug scale");
  ASSERT_TRUE(rig.link.Detect());
  rig.Run("weigh 59.9");
  rig.Handle(1);
  EXPECT_FLOAT_EQ(rig.pending.Readings()[0].weight, 59.9f);
}
