#include <gtest/gtest.h>

#include <filesystem>

#include "client/core/devices/wall_clock.h"
#include "client/core/history/history_recorder.h"
#include "client/core/history/history_store.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

namespace {

class FixedClock : public WallClock {
 public:
  std::time_t Now() const override { return now; }
  std::time_t now = 1767225600;  // 2026-01-01 00:00:00 UTC
};

UserRecord User(const std::string& uid) {
  UserRecord u;
  u.uid = uid;
  return u;
}

WeightRecord Reading(float kg, const std::string& exact) {
  WeightRecord r;
  r.weight = kg;
  r.time = exact.substr(0, 10);
  r.exacttime = exact;
  return r;
}

}  // namespace

TEST(HistoryDates, DeviceTextsBecomeIsoAndNonsenseIsRefused) {
  EXPECT_EQ(IsoDate("2026-3-5"), "2026-03-05");
  EXPECT_EQ(IsoDate("2026-03-05"), "2026-03-05");
  EXPECT_EQ(IsoDateTime("2026-03-05-07-12-09"), "2026-03-05 07:12:09");
  EXPECT_EQ(IsoDateTime("2026-03-05"), "2026-03-05 00:00:00");
  for (const char* bad : {"", "2026", "2026-13-01", "1999-01-01", "2026-01-01x", "2026--01", "20260-1-1",
                          "2026-01-01-25-00-00", "2026-01-01-1-2"}) {
    EXPECT_FALSE(IsoDateTime(bad)) << bad;
  }
}

TEST(HistoryDates, TrackerCountsAreReadWithinBounds) {
  TrackerCounts c = ReadTrackerCounts("steps=8012,sleep=431");
  EXPECT_EQ(c.steps, 8012);
  EXPECT_EQ(c.sleepMinutes, 431);
  EXPECT_EQ(ReadTrackerCounts("sleep=5").steps, std::nullopt);
  EXPECT_EQ(ReadTrackerCounts("steps=99999999").steps, std::nullopt);  // beyond the bound
  EXPECT_EQ(ReadTrackerCounts("steps=-3,sleep=x").steps, std::nullopt);
  EXPECT_EQ(ReadTrackerCounts("stepsx=5").steps, std::nullopt);
  EXPECT_EQ(ReadTrackerCounts("").sleepMinutes, std::nullopt);
}

TEST(HistoryStoreTest, ReadingHeldThenSentIsOneRowAndSentStaysSent) {
  testing_support::TempFolder dir;
  HistoryStore store(dir.File(HistoryStore::kFileName));
  ASSERT_TRUE(store.IsOpen());
  FixedClock clock;
  HistoryRecorder rec(store, clock);
  UserRecord u = User("7"), other = User("8");
  WeightRecord r = Reading(61.3f, "2026-01-02-07-30-00");
  rec.WeightHeld(u, r);
  UserHistory h = store.Load("7");
  ASSERT_EQ(h.weights.size(), 1u);
  EXPECT_FALSE(h.weights[0].Sent());
  EXPECT_EQ(h.weights[0].tenths, 613);

  rec.WeightStored(u, r);
  rec.WeightHeld(u, r);  // a later pass's "held" never unmarks it
  h = store.Load("7");
  ASSERT_EQ(h.weights.size(), 1u);
  EXPECT_TRUE(h.weights[0].Sent());
  EXPECT_EQ(h.weights[0].taken, "2026-01-02 07:30:00");
  EXPECT_TRUE(store.Load("8").weights.empty());  // per user

  rec.DayStored(other, DeviceKind::Pace700, "2026-01-02", "steps=100,sleep=20");
  rec.DayStored(other, DeviceKind::Pace700, "2026-1-2", "steps=250,sleep=30");  // the same day again
  rec.DayStored(other, DeviceKind::Pedometer, "2026-1-2", std::string(40, '\x11'));
  rec.DayStored(other, DeviceKind::Pedometer, "not a date", "");
  h = store.Load("8");
  ASSERT_EQ(h.days.size(), 2u);
  EXPECT_EQ(h.days[0].kind, HistoryDayKind::Pedometer);
  EXPECT_FALSE(h.days[0].steps);
  EXPECT_EQ(h.days[1].steps, 250);
  EXPECT_EQ(h.days[1].sleepMinutes, 30);
  EXPECT_FALSE(h.days[1].sentAt.empty());
}

TEST(HistoryStoreTest, KeepsOnlyTheNewestRowsBeyondItsBound) {
  testing_support::TempFolder dir;
  HistoryStore store(dir.File(HistoryStore::kFileName), {4, 3});
  HistoryDay day;
  for (int i = 1; i <= 6; ++i) {
    day.date = "2026-01-0" + std::to_string(7 - i);  // newest first: the bound drops by date, not by arrival
    ASSERT_TRUE(store.RecordDay("1", day));
    ASSERT_TRUE(store.RecordWeight("1", {"2026-02-0" + std::to_string(i) + " 08:00:00", 700 + i, ""}));
    ASSERT_TRUE(store.RecordWeight("2", {"2026-02-0" + std::to_string(i) + " 08:00:00", 700 + i, ""}));
  }
  UserHistory h = store.Load("1");
  ASSERT_EQ(h.days.size(), 3u);
  EXPECT_EQ(h.days.front().date, "2026-01-04");
  ASSERT_EQ(h.weights.size(), 4u);
  EXPECT_EQ(h.weights.front().taken, "2026-02-03 08:00:00");
  EXPECT_EQ(store.Load("2").weights.size(), 4u);  // each user's bound is its own
}

TEST(HistoryStoreTest, DamagedDatabaseIsKeptAsideAndBegunAfresh) {
  testing_support::TempFolder dir;
  std::string path = dir.File(HistoryStore::kFileName);
  ASSERT_TRUE(platform::WriteFileAtomically(path, std::string(4096, 'x')));
  {
    HistoryStore store(path);
    ASSERT_TRUE(store.IsOpen());
    EXPECT_EQ(store.DamagedCopy(), path + ".damaged-1");
    EXPECT_TRUE(store.RecordWeight("1", {"2026-01-01 08:00:00", 700, ""}));
  }
  HistoryStore again(path);
  EXPECT_TRUE(again.DamagedCopy().empty());
  EXPECT_EQ(again.Load("1").weights.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(path + ".damaged-1"));
}

TEST(HistoryStoreTest, AStoreThatCannotOpenDoesNothingAndFailsNothing) {
  testing_support::TempFolder dir;
  HistoryStore store(dir.File("missing/folder/history.sqlite"));
  EXPECT_FALSE(store.IsOpen());
  EXPECT_FALSE(store.RecordWeight("1", {"2026-01-01 08:00:00", 700, ""}));
  EXPECT_TRUE(store.Load("1").weights.empty());
}
