#pragma once
// The window timers of the GUI thread: which timer is due when. Like the platform's timers they
// coalesce: a timer that missed several periods fires once and is then due a full period later.

#include <cstdint>
#include <optional>
#include <vector>

#include "toolkit/core/win_types.h"

namespace toolkit {

class TimerTable {
 public:
  struct Due {
    HWND hwnd;
    UINT id;
  };

  // Shortest period a timer may have; shorter requests are raised to it.
  static constexpr int64_t kMinimumPeriodMs = 10;

  // Starts or restarts timer (hwnd, id), first due periodMs after now.
  void Set(HWND hwnd, UINT id, int64_t periodMs, int64_t now);
  // False when there was no such timer.
  bool Kill(HWND hwnd, UINT id);
  void KillAll(HWND hwnd);
  // The earliest due time, or nothing when no timer runs.
  std::optional<int64_t> NextDue() const;
  // The timer due first at now (earliest deadline, then oldest), rescheduled one period after now;
  // nothing when none is due.
  std::optional<Due> TakeDue(int64_t now);

 private:
  struct Timer {
    HWND hwnd;
    UINT id;
    int64_t period;
    int64_t due;
    uint64_t order;
  };
  std::vector<Timer> timers_;
  uint64_t nextOrder_ = 0;
};

}  // namespace toolkit
