#pragma once
// The kit's way to a tracker: what CPace700Kit asks of whatever tracker link the kit was built with.

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

struct TrackerDay {
  int year = 0, month = 0, day = 0;
  std::string data;  // the day's data text
};

struct TrackerParameters {
  int sex = 0, age = 0, height = 0, weight = 0, stepValue = 0, dailyGoal = 0, goalUnit = 0;
};

class TrackerLink {
 public:
  static constexpr int kDays = 30;
  // The key the tracker answers to.
  static constexpr int kKey = 604237;

  virtual ~TrackerLink() = default;
  virtual bool Attached() = 0;
  virtual int64_t DeviceId() = 0;  // negative: none
  // The tracker clock's local calendar fields (tm_sec may be 60); nothing when it does not answer.
  virtual std::optional<std::tm> Clock() = 0;
  virtual bool SetClockToNow() = 0;
  virtual std::array<std::optional<TrackerDay>, kDays> Days() = 0;
  virtual bool Erase() = 0;
  virtual bool SetParameters(const TrackerParameters& p) = 0;
};

// The link this kit was built with.
std::unique_ptr<TrackerLink> MakeTrackerLink();
