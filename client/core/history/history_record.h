#pragma once
// What the local history holds of one user: every weight reading and device day the client handled,
// with whether and when the service took it. Dates and times are ISO texts ("2026-03-05",
// "2026-03-05 07:12:00"), so that they sort as text and leave the program as they are.

#include <optional>
#include <string>
#include <vector>

enum class HistoryDayKind { Pedometer = 0, Tracker = 1 };

struct HistoryWeight {
  std::string taken;   // "YYYY-MM-DD HH:MM:SS", or "YYYY-MM-DD 00:00:00" when only the day is known
  int tenths = 0;      // kilograms times ten: the scale's own resolution, exact in any locale
  std::string sentAt;  // when the service took it; empty while it is unsent

  double Kilograms() const { return tenths / 10.0; }
  bool Sent() const { return !sentAt.empty(); }
};

struct HistoryDay {
  std::string date;  // "YYYY-MM-DD"
  HistoryDayKind kind = HistoryDayKind::Pedometer;
  std::optional<int> steps;         // when the day's data carries them
  std::optional<int> sleepMinutes;  // likewise
  std::string sentAt;
};

// Oldest first.
struct UserHistory {
  std::vector<HistoryWeight> weights;
  std::vector<HistoryDay> days;
};
