#pragma once
// A wall clock that stands still where a test puts it, for the client's device code and sync pass.

#include <ctime>

#include "client/core/devices/local_time.h"
#include "client/core/devices/wall_clock.h"

namespace testing_support {

class FixedClock final : public WallClock {
 public:
  explicit FixedClock(std::time_t now = LocalTime(2024, 5, 20, 8, 30, 0)) : now_(now) {}
  std::time_t Now() const override { return now_; }
  void Set(std::time_t now) { now_ = now; }
  void Advance(int seconds) { now_ += seconds; }

  static std::time_t LocalTime(int y, int mo, int d, int h, int mi, int s) {
    std::tm f{};
    f.tm_year = y - 1900;
    f.tm_mon = mo - 1;
    f.tm_mday = d;
    f.tm_hour = h;
    f.tm_min = mi;
    f.tm_sec = s;
    return TimeFromLocalFields(f);
  }

 private:
  std::time_t now_;
};

}  // namespace testing_support
