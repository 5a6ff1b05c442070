#include <gtest/gtest.h>

#include "client/core/history/history_view.h"

TEST(HistoryViewTest, DayNumbersRoundTripAcrossLeapDays) {
  EXPECT_EQ(DayNumber("1970-01-01"), 0);
  EXPECT_EQ(DayNumber("2024-03-01").value() - DayNumber("2024-02-28").value(), 2);
  for (const char* iso : {"2024-02-29", "2026-12-31", "2000-01-01"}) EXPECT_EQ(IsoOfDay(*DayNumber(iso)), iso);
  EXPECT_FALSE(DayNumber("2024-13-01"));
  EXPECT_FALSE(DayNumber("abc"));
}

TEST(HistoryViewTest, MonthTakesEachDaysLastReadingAndCountsTheUnsent) {
  int today = *DayNumber("2026-03-31");
  UserHistory h;
  h.weights = {{"2026-02-01 08:00:00", 650, "x"},  // before the month
               {"2026-03-10 07:00:00", 612, "x"},
               {"2026-03-10 21:00:00", 618, ""},
               {"2026-03-31 07:00:00", 605, "x"}};
  HistoryDay steps;
  steps.date = "2026-03-10";
  steps.kind = HistoryDayKind::Tracker;
  steps.steps = 5000;
  HistoryDay noSteps;
  noSteps.date = "2026-03-11";
  h.days = {steps, noSteps};
  HistoryView v = BuildHistoryView(h, HistoryRange::Month, today);
  EXPECT_EQ(v.lastDay - v.firstDay, 29);
  ASSERT_EQ(v.weights.size(), 2u);
  EXPECT_EQ(v.weights[0].tenths, 618);
  EXPECT_TRUE(v.weights[0].unsent);  // one of the day's readings still waits
  EXPECT_FALSE(v.weights[1].unsent);
  EXPECT_EQ(v.readings, 3);
  EXPECT_EQ(v.unsent, 1);
  EXPECT_EQ(v.lowest, 605);
  EXPECT_EQ(v.highest, 618);
  EXPECT_EQ(v.latest->tenths, 605);
  ASSERT_EQ(v.steps.size(), 1u);  // a day without counts draws no bar
  EXPECT_EQ(v.ticks.front().text, "03-02");
  EXPECT_EQ(v.ticks.back().text, "03-31");

  HistoryView all = BuildHistoryView(h, HistoryRange::All, today);
  EXPECT_EQ(all.firstDay, *DayNumber("2026-02-01"));
  EXPECT_EQ(all.readings, 4);
  HistoryView none = BuildHistoryView({}, HistoryRange::All, today);
  EXPECT_EQ(none.lastDay - none.firstDay, 29);
  EXPECT_FALSE(none.latest);
}
