#pragma once
// The simulated K700 tracker: the tracker a kit built with the simulated link talks to. Instance() is
// the process's own, like a tracker on the desk, which tests and demos attach and fill; vymera-sim
// makes one of its own to serve.

#include <ctime>
#include <functional>
#include <mutex>
#include <optional>

#include "kit/tracker_link.h"

class SimulatedTracker final : public TrackerLink {
 public:
  static SimulatedTracker& Instance();
  // True when this kit was built to talk to the simulated tracker.
  static bool InUse();

  // A tracker of its own, detached and empty.
  SimulatedTracker() { Clear(); }

  // Detached, no days, clock in step with the PC, nothing recorded.
  void Reset();
  // True once Reset or Attach was called: a process that drives its own tracker (a test, a
  // benchmark) keeps the kit to it even where the kit could reach vymera-sim's.
  bool Driven() const;
  void Attach(int64_t deviceId);
  void Detach();
  // Stores a day at index 0-29; empty data leaves the index without data.
  void StoreDay(int index, int year, int month, int day, std::string data);
  // Where the PC's time comes from (std::time by default), and how far the tracker clock is off it.
  void SetPcClock(std::function<std::time_t()> now);
  void SetClockOffset(int seconds);
  // The tracker reports second 60 instead of 59.
  void SetLeapSecond(bool on);
  void SetEraseFails(bool on);

  int Erases() const;
  int ClockSets() const;
  std::optional<TrackerParameters> LastParameters() const;
  int StoredDays() const;
  // The stored days whether attached or not.
  std::array<std::optional<TrackerDay>, kDays> Stored() const;

  // TrackerLink
  bool Attached() override;
  int64_t DeviceId() override;
  std::optional<std::tm> Clock() override;
  bool SetClockToNow() override;
  std::array<std::optional<TrackerDay>, kDays> Days() override;
  bool Erase() override;
  bool SetParameters(const TrackerParameters& p) override;

 private:
  void Clear();

  mutable std::mutex mutex_;
  bool driven_ = false;
  bool attached_ = false;
  int64_t id_ = -1;
  std::array<std::optional<TrackerDay>, kDays> days_;
  std::function<std::time_t()> now_;
  int offset_ = 0;
  bool leap_ = false;
  bool eraseFails_ = false;
  int erases_ = 0;
  int clockSets_ = 0;
  std::optional<TrackerParameters> parameters_;
};
