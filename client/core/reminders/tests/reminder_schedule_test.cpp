// When the reminder poll runs, tick by tick of the main window's timer.
#include "client/core/reminders/reminder_schedule.h"

#include <gtest/gtest.h>

namespace {

constexpr int kTicksPerMinute = 60'000 / ReminderSchedule::kTickMs;

// Ticks n times; the ticks (1-based) at which a poll ran.
std::vector<int> TickTimes(ReminderSchedule& schedule, int n, int tixingTime, bool passRunning = false, int from = 1) {
  std::vector<int> polled;
  for (int i = 0; i < n; ++i) {
    if (schedule.Tick(tixingTime, passRunning, [] {})) polled.push_back(from + i);
  }
  return polled;
}

TEST(ReminderSchedule, OnlyFifteenThirtyAndSixtyMinutesAreIntervals) {
  EXPECT_EQ(ReminderSchedule::IntervalMinutes(15), 15);
  EXPECT_EQ(ReminderSchedule::IntervalMinutes(30), 30);
  EXPECT_EQ(ReminderSchedule::IntervalMinutes(60), 60);
  for (int other : {0, -15, 1, 45, 61, 120}) EXPECT_EQ(ReminderSchedule::IntervalMinutes(other), 15) << other;
}

TEST(ReminderSchedule, APollRunsEveryIntervalAndNotBefore) {
  for (int minutes : {15, 30, 60, 45}) {
    SCOPED_TRACE(minutes);
    ReminderSchedule schedule;
    int every = ReminderSchedule::IntervalMinutes(minutes) * kTicksPerMinute;
    EXPECT_EQ(TickTimes(schedule, 3 * every, minutes), (std::vector<int>{every, 2 * every, 3 * every}));
  }
}

TEST(ReminderSchedule, ALoginPollsAtTheNextTickThenTheIntervalCountsFromThere) {
  ReminderSchedule schedule;
  EXPECT_TRUE(TickTimes(schedule, 3, 30).empty());
  schedule.PollSoon();
  int every = 30 * kTicksPerMinute;
  EXPECT_EQ(TickTimes(schedule, every + 1, 30), (std::vector<int>{1, every + 1}));
  // Held back by a pass, it runs at the first tick after it.
  schedule.PollSoon();
  EXPECT_TRUE(TickTimes(schedule, 2, 30, true).empty());
  EXPECT_EQ(TickTimes(schedule, 1, 30), (std::vector<int>{1}));
}

TEST(ReminderSchedule, AShorterIntervalChosenMeanwhileCountsFromTheLastPoll) {
  ReminderSchedule schedule;
  EXPECT_TRUE(TickTimes(schedule, 20 * kTicksPerMinute, 60).empty());
  // Twenty minutes have gone: with fifteen the next tick is late already.
  EXPECT_EQ(TickTimes(schedule, 1, 15), (std::vector<int>{1}));
}

TEST(ReminderSchedule, ADuePollWaitsForThePassAndRunsAtTheFirstTickAfterIt) {
  ReminderSchedule schedule;
  int every = 15 * kTicksPerMinute;
  EXPECT_TRUE(TickTimes(schedule, every - 1, 15).empty());
  EXPECT_FALSE(schedule.Owed(15));
  // The pass holds the list from the due tick on, for three ticks.
  EXPECT_TRUE(TickTimes(schedule, 3, 15, true).empty());
  EXPECT_TRUE(schedule.Owed(15));
  EXPECT_EQ(TickTimes(schedule, 1, 15), (std::vector<int>{1}));
  EXPECT_FALSE(schedule.Owed(15));
  // The next one counts from the poll that ran.
  EXPECT_EQ(TickTimes(schedule, every, 15), (std::vector<int>{every}));
}

TEST(ReminderSchedule, APassThatOutlastsSeveralIntervalsOwesOnePoll) {
  ReminderSchedule schedule;
  EXPECT_TRUE(TickTimes(schedule, 40 * kTicksPerMinute, 15, true).empty());
  EXPECT_EQ(TickTimes(schedule, 2, 15).size(), 1u);
}

TEST(ReminderSchedule, TicksDuringAPollNeverStartASecondOne) {
  ReminderSchedule schedule;
  int every = 15 * kTicksPerMinute;
  int polls = 0;
  int nestedRan = 0;
  auto poll = [&] {
    ++polls;
    // A message box of the poll stands for longer than an interval; the timer keeps ticking.
    for (int i = 0; i < every + 1; ++i) nestedRan += schedule.Tick(15, false, [&] { ++polls; }) ? 1 : 0;
  };
  for (int i = 0; i < every; ++i) schedule.Tick(15, false, poll);
  EXPECT_EQ(polls, 1);
  EXPECT_EQ(nestedRan, 0);
  // The interval passed during the poll: the poll it owes runs at the next tick.
  EXPECT_TRUE(schedule.Owed(15));
  EXPECT_TRUE(schedule.Tick(15, false, [&] { ++polls; }));
  EXPECT_EQ(polls, 2);
}

}  // namespace
