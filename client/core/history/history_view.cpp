#include "client/core/history/history_view.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "platform/civil_days.h"

namespace {

constexpr int kMonthDays = 30;
constexpr int kHalfYearDays = 182;
constexpr int kTicks = 5;

}  // namespace

std::optional<int> DayNumber(const std::string& iso) {
  int y = 0, m = 0, d = 0;
  if (iso.size() < 10 || std::sscanf(iso.c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3) return std::nullopt;
  if (y < 1970 || y > 2199 || m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
  return static_cast<int>(platform::DaysFromCivil(y, m, d));
}

std::string IsoOfDay(int day) {
  day += 719468;
  int era = (day >= 0 ? day : day - 146096) / 146097;
  int doe = day - era * 146097;
  int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int y = yoe + era * 400;
  int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int mp = (5 * doy + 2) / 153;
  int d = doy - (153 * mp + 2) / 5 + 1;
  int m = mp + (mp < 10 ? 3 : -9);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", y + (m <= 2), m, d);
  return text;
}

HistoryView BuildHistoryView(const UserHistory& history, HistoryRange range, int today) {
  HistoryView view;
  view.lastDay = today;
  if (range == HistoryRange::Month) {
    view.firstDay = today - (kMonthDays - 1);
  } else if (range == HistoryRange::HalfYear) {
    view.firstDay = today - (kHalfYearDays - 1);
  } else {
    // Everything, but never less than a month: a short history still reads as days.
    int first = today - (kMonthDays - 1);
    for (const HistoryWeight& w : history.weights) first = std::min(first, DayNumber(w.taken).value_or(first));
    for (const HistoryDay& d : history.days) first = std::min(first, DayNumber(d.date).value_or(first));
    view.firstDay = first;
  }

  // Rows come oldest first: the day's last reading stands for the day.
  std::map<int, HistoryView::Weight> byDay;
  for (const HistoryWeight& w : history.weights) {
    std::optional<int> day = DayNumber(w.taken);
    if (!day || *day < view.firstDay || *day > view.lastDay) continue;
    ++view.readings;
    if (!w.Sent()) ++view.unsent;
    HistoryView::Weight& slot = byDay[*day];
    bool unsent = slot.unsent || !w.Sent();
    slot = {*day, w.tenths, unsent};
    view.latest = w;
    view.lowest = std::min(view.lowest.value_or(w.tenths), w.tenths);
    view.highest = std::max(view.highest.value_or(w.tenths), w.tenths);
  }
  for (const auto& [day, weight] : byDay) view.weights.push_back(weight);

  std::map<int, int> steps;
  for (const HistoryDay& d : history.days) {
    std::optional<int> day = DayNumber(d.date);
    if (!day || !d.steps || *day < view.firstDay || *day > view.lastDay) continue;
    steps[*day] += *d.steps;
  }
  for (const auto& [day, count] : steps) view.steps.push_back({day, count});

  int span = view.lastDay - view.firstDay;
  bool long_range = span > 400;
  for (int i = 0; i < kTicks; ++i) {
    int day = view.firstDay + span * i / (kTicks - 1);
    std::string iso = IsoOfDay(day);
    view.ticks.push_back({day, long_range ? iso.substr(0, 7) : iso.substr(5)});
  }
  return view;
}
