#include "sim/sim_commands.h"

#include <gtest/gtest.h>

namespace {

struct Desk {
  sim::SimDesk desk;
  sim::DeskCommands commands{desk};

  sim::CommandResult Run(const std::string& line) { return commands.Run(line); }
  std::unique_ptr<platform::HidDevice> OpenScale() { return desk.Host().Open(desk.Scale().Info().path); }
};

std::vector<uint8_t> ReadFrame(platform::HidDevice& handle) {
  std::vector<uint8_t> frame(64, 0);
  auto got = handle.Read(frame, 0);
  frame.resize(got.ok() ? got.bytes : 0);
  return frame;
}

int Tenths(const std::vector<uint8_t>& frame) { return frame[7] << 8 | frame[8]; }

uint32_t RecordSeconds(const std::vector<uint8_t>& frame) {
  return uint32_t{frame[10]} | uint32_t{frame[11]} << 8 | uint32_t{frame[12]} << 16 | uint32_t{frame[13]} << 24;
}

std::time_t Local(int y, int mo, int d, int h, int mi) {
  std::tm f{};
  f.tm_year = y - 1900, f.tm_mon = mo - 1, f.tm_mday = d, f.tm_hour = h, f.tm_min = mi, f.tm_isdst = -1;
  return std::mktime(&f);
}

}  // namespace

TEST(DeskCommands, WeighSendsALiveReadingAndThenTheStoredOnes) {
  Desk d;
  auto scale = d.OpenScale();
  ASSERT_TRUE(d.Run("store 70.1 2024-03-05T08:00").ok);
  ASSERT_TRUE(d.Run("store 69.8 2024-03-06 07:15:30").ok);
  EXPECT_EQ(d.desk.StoredReadings(), 2u);
  EXPECT_TRUE(ReadFrame(*scale).empty());  // kept, not sent

  auto r = d.Run("weigh 68.4");
  ASSERT_TRUE(r.ok) << r.text;
  EXPECT_EQ(r.text, "the scale sent 68.4 kg and 2 stored readings\n");
  auto live = ReadFrame(*scale);
  ASSERT_EQ(live.size(), 33u);
  EXPECT_EQ(live[5], sim::SimScale::kLive);
  EXPECT_EQ(Tenths(live), 684);
  auto first = ReadFrame(*scale), second = ReadFrame(*scale);
  ASSERT_EQ(second.size(), 33u);
  EXPECT_EQ(first[5], sim::SimScale::kStored);
  EXPECT_EQ(Tenths(first), 701);
  EXPECT_EQ(RecordSeconds(first), sim::ScaleSeconds(Local(2024, 3, 5, 8, 0)));
  EXPECT_EQ(RecordSeconds(second), sim::ScaleSeconds(Local(2024, 3, 6, 7, 15)) + 30);
  EXPECT_NE(first[6], second[6]);  // each stored record has a record byte of its own
  EXPECT_EQ(d.desk.StoredReadings(), 0u);
  EXPECT_EQ(d.Run("weigh 68").text, "the scale sent 68.0 kg\n");
}

TEST(DeskCommands, RefusesWeightsDatesAndCountsTheDevicesCannotCarry) {
  Desk d;
  for (const char* line : {"weigh", "weigh 68,4", "weigh 68.45", "weigh 0", "weigh 0.0", "weigh -1", "weigh 6553.6",
                           "weigh 68.4 kg", "store 70.1", "store 70.1 2024-02-30", "store 70.1 2023-02-29T08:00",
                           "store 70.1 2024-03-05T25:00", "store 70.1 2024-03-05X08:00", "store 70.1 1999-12-31",
                           "pedometer-day 2024-3-5", "pedometer-day 2024-03-05 256", "tracker-day 2024-03-05",
                           "tracker-day 2024-03-05 -5", "tracker-day 2024-03-05 100 1441", "plug kettle", "unplug",
                           "status now", "frobnicate"}) {
    EXPECT_FALSE(d.Run(line).ok) << line;
  }
  EXPECT_TRUE(d.Run("weigh 6553.5").ok);
  EXPECT_TRUE(d.Run("weigh 0.1").ok);
  EXPECT_TRUE(d.Run("store 70.1 2024-02-29").ok);
  EXPECT_TRUE(d.Run("").ok);

  for (int i = 1; i <= 30; ++i) ASSERT_TRUE(d.Run("pedometer-day 2024-04-" + std::string(i < 10 ? "0" : "") + std::to_string(i)).ok);
  EXPECT_EQ(d.Run("pedometer-day 2024-05-01").text, "the pedometer holds 30 days already\n");
}

TEST(DeskCommands, DaysLandInThePedometerAndTheTrackerAndASecondTrackerDayOfADateReplacesIt) {
  Desk d;
  ASSERT_TRUE(d.Run("pedometer-day 2024-03-05 34").ok);
  EXPECT_EQ(d.desk.Pedometer().DayCount(), 1);
  auto block = d.desk.Pedometer().Block(0);
  EXPECT_EQ(block[0], 0x24);
  EXPECT_EQ(block[1], 0x03);
  EXPECT_EQ(block[2], 0x05);
  EXPECT_EQ(block[1000], 34);

  ASSERT_TRUE(d.Run("tracker-day 2024-03-05 8000 420").ok);
  ASSERT_TRUE(d.Run("tracker-day 2024-03-06 1200").ok);
  ASSERT_TRUE(d.Run("tracker-day 2024-03-05 9000").ok);
  auto days = d.desk.Tracker().Days();
  ASSERT_TRUE(days[0] && days[1]);
  EXPECT_EQ(days[0]->data, "steps=9000,sleep=0");
  EXPECT_EQ(days[1]->day, 6);
  EXPECT_EQ(d.desk.Tracker().StoredDays(), 2);
}

TEST(DeskCommands, UnplugHidesADeviceAndPlugBringsItBack) {
  Desk d;
  auto scale = d.OpenScale();
  EXPECT_EQ(d.Run("unplug all").text, "scale, pedometer, tracker unplugged\n");
  EXPECT_TRUE(d.desk.Host().Enumerate(0, 0).empty());
  EXPECT_FALSE(d.desk.Tracker().Attached());
  uint8_t buffer[33];
  EXPECT_EQ(scale->Read(buffer, 0).status, platform::HidStatus::Failed);
  EXPECT_EQ(d.Run("weigh 60").text, "the scale is unplugged\n");

  ASSERT_TRUE(d.Run("plug tracker").ok);
  EXPECT_EQ(d.desk.Tracker().DeviceId(), d.desk.Ids().trackerId);
  ASSERT_TRUE(d.Run("plug scale").ok);
  EXPECT_EQ(d.desk.Host().Enumerate(sim::SimScale::kVendorId, 0).size(), 1u);
  EXPECT_FALSE(d.desk.Plugged(sim::DeskDevice::Pedometer));
}

TEST(DeskCommands, StatusTellsWhatEachDeviceHoldsAndQuitAsksToEnd) {
  Desk d;
  d.Run("store 70.1 2024-03-05");
  d.Run("tracker-day 2024-03-05 8000");
  d.Run("unplug pedometer");
  auto status = d.Run("status");
  ASSERT_TRUE(status.ok);
  EXPECT_NE(status.text.find("scale      plugged    serial 5A0031C7 (bound as W15A0031C7)"), std::string::npos)
      << status.text;
  EXPECT_NE(status.text.find("1 in memory"), std::string::npos);
  EXPECT_NE(status.text.find("pedometer  unplugged  id 20240601 (bound as A10020240601), 0 days"), std::string::npos);
  EXPECT_NE(status.text.find("tracker    plugged    id 8800123456789, 1 day,"), std::string::npos);
  EXPECT_FALSE(status.quit);
  EXPECT_TRUE(d.Run("quit").quit);
  EXPECT_NE(d.Run("help").text.find("weigh KG"), std::string::npos);
}
