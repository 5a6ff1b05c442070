#include "kit/pace700_kit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "kit/simulated_tracker.h"
#include "platform/calendar_time.h"

namespace {

class Pace700Kit : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!SimulatedTracker::InUse()) GTEST_SKIP() << "the kit is built without the simulated tracker";
    tracker.Reset();
    tracker.SetPcClock([] { return std::time_t{1717000000}; });
    kit.SetSercetKey(604237);
  }
  SimulatedTracker& tracker = SimulatedTracker::Instance();
  CPace700Kit kit;
};

}  // namespace

TEST_F(Pace700Kit, GivesNothingWithoutATrackerOrWithTheWrongKey) {
  EXPECT_FALSE(kit.StepIsConnected());
  EXPECT_LT(kit.GetDeviceID(false), 0);
  EXPECT_EQ(std::string(kit.CkeckExsitDataDay(), 30), std::string(30, '0'));

  tracker.Attach(123456789012LL);
  tracker.StoreDay(3, 2024, 5, 1, "steps");
  CPace700Kit locked;
  locked.SetSercetKey(111111);
  EXPECT_TRUE(locked.StepIsConnected());
  EXPECT_LT(locked.GetDeviceID(false), 0);
  EXPECT_FALSE(locked.EraseStepData(1));
  EXPECT_EQ(tracker.StoredDays(), 1);
  EXPECT_EQ(kit.GetDeviceID(false), 123456789012LL);
}

TEST_F(Pace700Kit, MapsAndReadsStoredDays) {
  tracker.Attach(42);
  tracker.StoreDay(0, 2024, 4, 30, "a,b,c");
  tracker.StoreDay(29, 2024, 5, 29, std::string(20000, 'x'));
  tracker.StoreDay(5, 2024, 5, 5, "");
  std::string map(kit.CkeckExsitDataDay(), 30);
  EXPECT_EQ(map, "1" + std::string(28, '0') + "1");
  std::vector<char> scratch(3 * 2048, 0);
  EXPECT_TRUE(kit.BeginCalculateSleepData(scratch.data()));

  char date[30] = {};
  char* data = kit.GetSingleData(0, date);
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(date, "2024-04-30");
  EXPECT_STREQ(data, "a,b,c");
  data = kit.GetSingleData(29, date);
  ASSERT_NE(data, nullptr);
  EXPECT_LT(std::strlen(data), 10240u);
  EXPECT_EQ(kit.GetSingleData(5, date), nullptr);
  EXPECT_STREQ(date, "");
  EXPECT_EQ(kit.GetSingleData(30, date), nullptr);

  EXPECT_TRUE(kit.EraseStepData(1));
  EXPECT_EQ(std::string(kit.CkeckExsitDataDay(), 30), std::string(30, '0'));
}

TEST_F(Pace700Kit, ReadsAndSetsTheClockAndTakesParameters) {
  tracker.Attach(42);
  tracker.SetClockOffset(-3600);
  tracker.SetLeapSecond(true);
  int y, mo, d, h, mi, s;
  ASSERT_TRUE(kit.GetStepTime(y, mo, d, h, mi, s));
  std::time_t expected = 1717000000 - 3600;
  std::tm f = platform::LocalFieldsOf(expected);
  EXPECT_EQ(y, f.tm_year - 100);
  EXPECT_EQ(mo, f.tm_mon + 1);
  EXPECT_EQ(h, f.tm_hour);
  EXPECT_EQ(s, 60);
  EXPECT_TRUE(kit.SetStepTime());
  EXPECT_EQ(tracker.ClockSets(), 1);

  EXPECT_TRUE(kit.SetParameters(1, 30, 175, 70, 75, 8000, 2));
  ASSERT_TRUE(tracker.LastParameters());
  EXPECT_EQ(tracker.LastParameters()->dailyGoal, 8000);
  tracker.Detach();
  EXPECT_FALSE(kit.GetStepTime(y, mo, d, h, mi, s));
}
