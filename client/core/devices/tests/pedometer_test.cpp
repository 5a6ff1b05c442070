#include <gtest/gtest.h>

#include "client/core/devices/hid_class.h"
#include "client/core/devices/pedometer_replies.h"
#include "client/core/devices/tests/fakes.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_pedometer.h"

using testing_support::FixedClock;

namespace {

struct PedometerRig {
  FixedClock clock{FixedClock::LocalTime(2024, 6, 1, 21, 45, 7)};
  sim::SimHidHost host;
  std::shared_ptr<sim::SimPedometer> ped = std::make_shared<sim::SimPedometer>(305419896);
  CHIDClass hid{host, clock};
  PedometerRig() { host.Attach(ped); }
};

}  // namespace

TEST(CHIDClass, ReadsTheIdAndGivesItsCode) {
  PedometerRig rig;
  ASSERT_TRUE(rig.hid.ReadId());
  EXPECT_EQ(rig.hid.LastDeviceId(), 305419896u);
  EXPECT_TRUE(rig.hid.Connected());
  EXPECT_FALSE(rig.hid.Busy());
  EXPECT_EQ(CHIDClass::IdText(rig.hid.LastDeviceId()), "A10305419896");
  EXPECT_EQ(CHIDClass::IdText(7), "A10000000007");
  EXPECT_EQ(CHIDClass::IdText(4294967295u), "A14294967295");
}

TEST(CHIDClass, ReadDaysCopiesEveryBlockAndSetsTheClock) {
  PedometerRig rig;
  rig.ped->AddDay(2024, 5, 30, 0x21);
  rig.ped->AddDay(2024, 5, 31, 0x22);
  rig.ped->AddDay(2024, 6, 1, 0x23);
  ASSERT_TRUE(rig.hid.ReadId());
  auto count = rig.hid.ReadDays();
  ASSERT_TRUE(count);
  EXPECT_EQ(*count, 3);
  const auto& days = rig.hid.Days();
  ASSERT_EQ(days.size(), 3u);
  EXPECT_EQ(days[1].year, 2024);
  EXPECT_EQ(days[1].month, 5);
  EXPECT_EQ(days[1].day, 31);
  EXPECT_EQ(days[1].deviceId, 305419896u);
  auto block = rig.ped->Block(1);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), days[1].data.begin()));
  // 18 reads per block and one for the empty block that ends the scan, plus the id.
  EXPECT_EQ(rig.ped->MemoryReads(), 1 + 4 * 18);
  EXPECT_EQ(rig.ped->ClockSets(), 1);
  std::tm clock = rig.ped->Clock();
  EXPECT_EQ(clock.tm_hour, 21);
  EXPECT_EQ(clock.tm_sec, 7);
  EXPECT_EQ(clock.tm_year, 124);
}

TEST(CHIDClass, EmptyMemoryGivesNoDaysButStillSetsTheClock) {
  PedometerRig rig;
  ASSERT_TRUE(rig.hid.ReadId());
  EXPECT_EQ(rig.hid.ReadDays(), 0);
  EXPECT_EQ(rig.ped->ClockSets(), 1);
}

TEST(CHIDClass, StopsAfterThirtyBlocks) {
  PedometerRig rig;
  for (int i = 0; i < 30; ++i) ASSERT_TRUE(rig.ped->AddDay(2024, 4, 1 + i));
  ASSERT_TRUE(rig.hid.ReadId());
  EXPECT_EQ(rig.hid.ReadDays(), 30);
}

TEST(CHIDClass, WrongEchoShortReplyOrTimeOutFailsReadDays) {
  PedometerRig rig;
  rig.ped->AddDay(2024, 5, 30);
  ASSERT_TRUE(rig.hid.ReadId());

  rig.ped->CorruptEchoes(1);
  EXPECT_FALSE(rig.hid.ReadDays());
  EXPECT_TRUE(rig.hid.Days().empty());

  rig.ped->ShortenReads(1, 30);
  EXPECT_FALSE(rig.hid.ReadDays());

  rig.ped->TimeOutReads(1);
  EXPECT_FALSE(rig.hid.ReadDays());
  EXPECT_FALSE(rig.hid.Connected()) << "a time-out closes the device";
  EXPECT_FALSE(rig.hid.ReadDays()) << "Read days needs a connected device";
  EXPECT_EQ(rig.ped->ClockSets(), 0);
  ASSERT_TRUE(rig.hid.ReadId());
  EXPECT_EQ(rig.hid.ReadDays(), 1);
}

TEST(CHIDClass, MemoryReplyMissingOnlyItsLastDataByteIsAFailedRead) {
  PedometerRig rig;
  ASSERT_TRUE(rig.hid.ReadId());
  // Report id, echo of command and address, 60 data bytes: 64 bytes are a whole answer.
  rig.ped->ShortenReads(1, 64);
  EXPECT_TRUE(rig.hid.ReadMemory(0xFC00));
  rig.ped->ShortenReads(1, 63);
  EXPECT_FALSE(rig.hid.ReadMemory(0xFC00));
}

TEST(CHIDClass, SecondCommandWhileOneRunsFailsWithoutTouchingTheDevice) {
  PedometerRig rig;
  bool inner = true;
  size_t writesSeen = 0;
  rig.ped->SetWriteHook([&] {
    rig.ped->SetWriteHook(nullptr);
    writesSeen = rig.ped->WriteCount();
    EXPECT_TRUE(rig.hid.Busy());
    inner = rig.hid.ReadId() || rig.hid.SetClock() || rig.hid.ClearDays(1) || rig.hid.GetClock();
  });
  size_t enumerations = rig.host.EnumerateCalls();
  ASSERT_TRUE(rig.hid.ReadId());
  EXPECT_FALSE(inner);
  EXPECT_EQ(rig.ped->WriteCount(), writesSeen);
  EXPECT_EQ(rig.host.EnumerateCalls(), enumerations + 1);
  EXPECT_FALSE(rig.hid.Busy()) << "the refused commands leave the running one's flag alone";
}

TEST(CHIDClass, UnpluggedDeviceFailsCommandsAndClearsConnected) {
  PedometerRig rig;
  ASSERT_TRUE(rig.hid.ReadId());
  rig.ped->Unplug();
  EXPECT_FALSE(rig.hid.ReadId());
  EXPECT_FALSE(rig.hid.Connected());
  EXPECT_FALSE(rig.hid.Busy());
  EXPECT_EQ(rig.hid.Query(), -1);
}

TEST(CHIDClass, QueryUsesTheOpenHandlesAndTellsAnUnknownAnswer) {
  PedometerRig rig;
  EXPECT_EQ(rig.hid.Query(), -1) << "nothing open yet";
  ASSERT_TRUE(rig.hid.ReadId());
  size_t enumerations = rig.host.EnumerateCalls();
  rig.ped->SetQueryValue(4);
  EXPECT_EQ(rig.hid.Query(), 4);
  rig.ped->SetQueryValue(std::nullopt);
  EXPECT_EQ(rig.hid.Query(), -1);
  EXPECT_EQ(rig.host.EnumerateCalls(), enumerations);
}

TEST(CHIDClass, ClockAndProfilesGoOutInTheDeviceForm) {
  PedometerRig rig;
  std::tm set{};
  set.tm_year = 123, set.tm_mon = 10, set.tm_mday = 9, set.tm_hour = 8, set.tm_min = 7, set.tm_sec = 6;
  rig.ped->SetClock(set);
  auto clock = rig.hid.GetClock();
  ASSERT_TRUE(clock);
  EXPECT_EQ(clock->tm_year, 123);
  EXPECT_EQ(clock->tm_mon, 10);
  EXPECT_EQ(clock->tm_mday, 9);
  EXPECT_EQ(clock->tm_sec, 6);

  ASSERT_TRUE(rig.hid.SetProfileLong(60, 172, 7, 2, 0x01020304));
  auto longForm = rig.ped->LastProfile();
  ASSERT_TRUE(longForm);
  EXPECT_TRUE(longForm->longForm);
  EXPECT_EQ(longForm->userId, 0x01020304u);
  EXPECT_EQ(longForm->unit, 2);
  rig.ped->SetQueryValue(std::nullopt);
  ASSERT_TRUE(rig.hid.SetProfileShort(61, 173, 8, 99));
  auto shortForm = rig.ped->LastProfile();
  ASSERT_TRUE(shortForm);
  EXPECT_FALSE(shortForm->longForm);
  EXPECT_EQ(shortForm->userId, 99u) << "the short profile arrived, not the long one again";
  EXPECT_EQ(shortForm->height, 173);
}

TEST(CHIDClass, ClockReplyIsReadFromItsBcdFieldsWhateverItsFirstByte) {
  PedometerRig rig;
  std::tm set{};
  set.tm_year = 124, set.tm_mon = 1, set.tm_mday = 29, set.tm_hour = 23, set.tm_min = 59, set.tm_sec = 58;
  rig.ped->SetClock(set);
  for (uint8_t head : {0x64, 0x00, 0x9A}) {
    rig.ped->SetClockReplyHead(head);
    auto clock = rig.hid.GetClock();
    ASSERT_TRUE(clock) << int{head};
    EXPECT_EQ(clock->tm_year, 124);
    EXPECT_EQ(clock->tm_mon, 1);
    EXPECT_EQ(clock->tm_mday, 29);
    EXPECT_EQ(clock->tm_hour, 23);
    EXPECT_EQ(clock->tm_min, 59);
    EXPECT_EQ(clock->tm_sec, 58);
  }
}

TEST(PedometerReplies, ClockNeedsSixBcdFieldsAndQueryTwoEchoes) {
  const uint8_t clock[] = {0x00, 0x58, 0x59, 0x23, 0x29, 0x02, 0x24};
  EXPECT_TRUE(DecodeClockReply(clock));
  uint8_t notBcd[] = {0x64, 0x58, 0x5A, 0x23, 0x29, 0x02, 0x24};
  EXPECT_FALSE(DecodeClockReply(notBcd));
  notBcd[2] = 0xA5;
  EXPECT_FALSE(DecodeClockReply(notBcd));
  EXPECT_FALSE(DecodeClockReply(std::span<const uint8_t>(clock, 6))) << "the year is missing";

  const uint8_t query[] = {0x84, 0x07, 0x84};
  EXPECT_EQ(DecodeQueryReply(query), 7);
  EXPECT_EQ(DecodeQueryReply(std::span<const uint8_t>(query, 2)), -1);
  const uint8_t oneEcho[] = {0x84, 0x07, 0x00};
  EXPECT_EQ(DecodeQueryReply(oneEcho), -1);
}

TEST(CHIDClass, ClearAfterBindingKeepsTheLastDayOnly) {
  PedometerRig one;
  one.ped->AddDay(2024, 6, 1);
  ASSERT_TRUE(one.hid.Open());
  one.hid.ClearAfterBinding();
  EXPECT_TRUE(one.ped->Clears().empty());
  EXPECT_EQ(one.ped->ClockSets(), 2);

  PedometerRig three;
  three.ped->AddDay(2024, 5, 30);
  three.ped->AddDay(2024, 5, 31);
  three.ped->AddDay(2024, 6, 1);
  ASSERT_TRUE(three.hid.Open());
  three.hid.ClearAfterBinding();
  EXPECT_EQ(three.ped->Clears(), std::vector<int>{2});
  EXPECT_EQ(three.ped->DayCount(), 1);
}
