#pragma once
// What the history page draws of a user's history over a range of days ending today: the weights
// by day (the day's last reading; unsent ones marked), the tracker's steps by day, the day texts
// along the axis and the figures of the summary line. Days are counted from 1970-01-01.

#include <optional>
#include <string>
#include <vector>

#include "client/core/history/history_record.h"

enum class HistoryRange { Month, HalfYear, All };

struct HistoryView {
  struct Weight {
    int day = 0;
    int tenths = 0;
    bool unsent = false;
  };
  struct Steps {
    int day = 0;
    int steps = 0;
  };
  struct Tick {
    int day = 0;
    std::string text;  // "MM-DD", or "YYYY-MM" over long ranges
  };
  int firstDay = 0;
  int lastDay = 0;
  std::vector<Weight> weights;
  std::vector<Steps> steps;
  std::vector<Tick> ticks;
  int readings = 0;  // readings in the range (a day may hold several)
  int unsent = 0;
  std::optional<HistoryWeight> latest;
  std::optional<int> lowest, highest;  // tenths
};

// Days since 1970-01-01 of an ISO date ("YYYY-MM-DD..."); nothing when it is not one.
std::optional<int> DayNumber(const std::string& iso);
// The ISO date of a day number.
std::string IsoOfDay(int day);

HistoryView BuildHistoryView(const UserHistory& history, HistoryRange range, int today);
