#pragma once
// HistoryRecorder: the sync pass's history port written into the HistoryStore, each item stamped
// with the local time the service took it.

#include <optional>
#include <string_view>

#include "client/core/devices/wall_clock.h"
#include "client/core/history/history_store.h"
#include "client/core/sync/sync_history.h"

class HistoryRecorder : public SyncHistory {
 public:
  HistoryRecorder(HistoryStore& store, const WallClock& clock) : store_(store), clock_(clock) {}

  void WeightHeld(const UserRecord& user, const WeightRecord& reading) override;
  void WeightStored(const UserRecord& user, const WeightRecord& reading) override;
  void DayStored(const UserRecord& user, DeviceKind kind, std::string_view date, std::string_view data) override;

 private:
  void Weight(const UserRecord& user, const WeightRecord& reading, bool sent);

  HistoryStore& store_;
  const WallClock& clock_;
};

// The counts a tracker day's text carries ("steps=8012,sleep=431"); each missing one is nothing.
struct TrackerCounts {
  std::optional<int> steps;
  std::optional<int> sleepMinutes;
};
TrackerCounts ReadTrackerCounts(std::string_view data);
