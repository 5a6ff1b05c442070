#pragma once
// The PC's clock, as the device code and the sync pass read it; tests give a clock of their own.

#include <ctime>

class WallClock {
 public:
  virtual ~WallClock() = default;
  // Seconds since the epoch.
  virtual std::time_t Now() const = 0;
};

class SystemWallClock final : public WallClock {
 public:
  std::time_t Now() const override { return std::time(nullptr); }
};
