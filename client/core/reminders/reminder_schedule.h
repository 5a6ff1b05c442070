#pragma once
// ReminderSchedule: when the reminder poll runs. The main window's timer kTimerId ticks every
// kTickMs and hands each tick here. A poll is due once TixingTime minutes (15, 30 or 60; any other
// value counts as 15) have gone by since the last one began, or since the schedule was made, and at
// the first tick after a login. A due poll never runs while a sync pass runs: it is
// owed, and runs at the first tick after the pass. Nor does one start inside another: a poll's
// message boxes run the loop, and ticks keep coming meanwhile.

#include <cstdint>
#include <functional>

class ReminderSchedule {
 public:
  static constexpr unsigned kTimerId = 5;
  static constexpr unsigned kTickMs = 5000;

  // The interval a TixingTime setting stands for, in minutes.
  static int IntervalMinutes(int tixingTime);

  // One tick of the timer: runs poll (to its end) when one is due and may run now. True when it ran.
  bool Tick(int tixingTime, bool passRunning, const std::function<void()>& poll);
  // A poll is due but held back (by a pass, or by the poll running now).
  bool Owed(int tixingTime) const;
  // A user has just logged in: the next tick polls, so their reminders are shown now rather than an
  // interval later.
  void PollSoon() { sinceLastMs_ = kSoon; }

 private:
  // Longer than any interval.
  static constexpr int64_t kSoon = int64_t{1} << 40;
  int64_t sinceLastMs_ = 0;
  bool polling_ = false;
};
