#include "toolkit/core/timer_table.h"

#include <algorithm>

namespace toolkit {

void TimerTable::Set(HWND hwnd, UINT id, int64_t periodMs, int64_t now) {
  int64_t period = std::max(periodMs, kMinimumPeriodMs);
  for (Timer& t : timers_) {
    if (t.hwnd == hwnd && t.id == id) {
      t.period = period;
      t.due = now + period;
      return;
    }
  }
  timers_.push_back(Timer{hwnd, id, period, now + period, nextOrder_++});
}

bool TimerTable::Kill(HWND hwnd, UINT id) {
  auto it = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
  if (it == timers_.end()) return false;
  timers_.erase(it);
  return true;
}

void TimerTable::KillAll(HWND hwnd) {
  std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd; });
}

std::optional<int64_t> TimerTable::NextDue() const {
  if (timers_.empty()) return std::nullopt;
  int64_t best = timers_.front().due;
  for (const Timer& t : timers_) best = std::min(best, t.due);
  return best;
}

std::optional<TimerTable::Due> TimerTable::TakeDue(int64_t now) {
  Timer* pick = nullptr;
  for (Timer& t : timers_) {
    if (t.due > now) continue;
    if (!pick || t.due < pick->due || (t.due == pick->due && t.order < pick->order)) pick = &t;
  }
  if (!pick) return std::nullopt;
  pick->due = now + pick->period;
  return Due{pick->hwnd, pick->id};
}

}  // namespace toolkit
