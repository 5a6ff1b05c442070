// The tracker kit's bridge link against a served desk, and the kit a program builds.

#include "kit/bridge_tracker_link.h"

#include <gtest/gtest.h>

#include <cstring>

#include "kit/pace700_kit.h"
#include "sim/tests/bridge_rig.h"

using bridge_test::MsSince;
using bridge_test::ServedDesk;

namespace {

// Points the default socket at the served desk for as long as it lives.
class RuntimeFolder {
 public:
  explicit RuntimeFolder(const std::string& folder) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    had_ = saved != nullptr;
    if (saved) saved_ = saved;
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
  }
  ~RuntimeFolder() {
    if (had_) setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
  }

 private:
  bool had_ = false;
  std::string saved_;
};

}  // namespace

TEST(BridgeTrackerLink, AnswersForTheServedTracker) {
  ServedDesk served;
  SimulatedTracker& tracker = served.desk.Tracker();
  tracker.StoreDay(2, 2024, 3, 5, "steps=8000");
  tracker.StoreDay(7, 2024, 3, 6, std::string(20000, 'x'));
  tracker.SetClockOffset(-3600);
  tracker.SetLeapSecond(true);
  BridgeTrackerLink link(served.socket);

  EXPECT_TRUE(link.Attached());
  EXPECT_EQ(link.DeviceId(), 8800123456789LL);
  auto clock = link.Clock();
  ASSERT_TRUE(clock);
  EXPECT_EQ(clock->tm_sec, 60);
  auto days = link.Days();
  ASSERT_TRUE(days[2] && days[7]);
  EXPECT_FALSE(days[0]);
  EXPECT_EQ(days[2]->data, "steps=8000");
  EXPECT_EQ(days[2]->month, 3);
  EXPECT_EQ(days[7]->data.size(), 10239u);  // as long as the kit hands on

  EXPECT_TRUE(link.SetClockToNow());
  EXPECT_EQ(tracker.ClockSets(), 1);
  EXPECT_TRUE(link.SetParameters({1, 30, 175, 70, 75, 8000, 2}));
  ASSERT_TRUE(tracker.LastParameters());
  EXPECT_EQ(tracker.LastParameters()->height, 175);
  EXPECT_EQ(tracker.LastParameters()->goalUnit, 2);
  EXPECT_TRUE(link.Erase());
  EXPECT_EQ(tracker.StoredDays(), 0);

  served.commands.Run("unplug tracker");
  EXPECT_FALSE(link.Attached());
  EXPECT_LT(link.DeviceId(), 0);
  EXPECT_FALSE(link.Clock());
  EXPECT_FALSE(link.Erase());
}

TEST(BridgeTrackerLink, AnswersAsNoTrackerWhenTheSimulatorIsGone) {
  ServedDesk served;
  BridgeTrackerLink link(served.socket);
  ASSERT_TRUE(link.Attached());
  served.server.Stop();
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(link.Attached());
  EXPECT_EQ(link.DeviceId(), -1);
  EXPECT_FALSE(link.Clock());
  EXPECT_FALSE(link.SetClockToNow());
  EXPECT_FALSE(link.Days()[0]);
  EXPECT_FALSE(link.SetParameters({}));
  EXPECT_LT(MsSince(start), 100);
  served.Start();
  EXPECT_TRUE(link.Attached());
}

TEST(BridgeTrackerLink, TheKitOfAProgramReachesTheSimulatorsTrackerAndCommandsChangeWhatItReports) {
  ServedDesk served;
  RuntimeFolder runtime(served.folder.path());
  CPace700Kit kit;
  kit.SetSercetKey(604237);
  ASSERT_TRUE(kit.StepIsConnected());
  EXPECT_EQ(kit.GetDeviceID(false), 8800123456789LL);
  EXPECT_EQ(std::string(kit.CkeckExsitDataDay(), 30), std::string(30, '0'));

  ASSERT_TRUE(served.commands.Run("tracker-day 2024-03-05 8000 420").ok);
  EXPECT_EQ(std::string(kit.CkeckExsitDataDay(), 30), "1" + std::string(29, '0'));
  char date[30] = {};
  char* data = kit.GetSingleData(0, date);
  ASSERT_NE(data, nullptr);
  EXPECT_STREQ(date, "2024-03-05");
  EXPECT_STREQ(data, "steps=8000,sleep=420");
  EXPECT_TRUE(kit.EraseStepData(1));
  EXPECT_EQ(served.desk.Tracker().Erases(), 1);

  ASSERT_TRUE(served.commands.Run("unplug tracker").ok);
  EXPECT_FALSE(kit.StepIsConnected());
}

// A process that drives the in-process tracker (every test of the client does) keeps its kit to it,
// whatever simulator runs on the same desk. Run apart, as driving it is for the whole process.
TEST(BridgeTrackerLink, AProcessDrivingItsOwnTrackerNeverSeesTheSimulators) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ServedDesk served;
        RuntimeFolder runtime(served.folder.path());
        CPace700Kit kit;
        kit.SetSercetKey(604237);
        bool before = kit.StepIsConnected();
        SimulatedTracker::Instance().Reset();
        bool after = kit.StepIsConnected();
        SimulatedTracker::Instance().Attach(42);
        bool own = kit.GetDeviceID(false) == 42;
        std::exit(before && !after && own ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
