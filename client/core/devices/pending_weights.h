#pragma once
// PendingWeights: the scale readings the main window has decoded and the sync pass has not yet given
// to a user. Main-window thread only.

#include <vector>

#include "client/core/users/user_record.h"

class PendingWeights {
 public:
  // Readings wait here at most until the next sync pass; a flood beyond this is refused rather than
  // held, and a refused reading is not acknowledged, so the scale keeps it.
  static constexpr size_t kMaxReadings = 4096;

  // False when the list is full.
  bool Add(WeightRecord reading) {
    if (readings_.size() >= kMaxReadings) return false;
    readings_.push_back(std::move(reading));
    return true;
  }
  bool Empty() const { return readings_.empty(); }
  size_t Size() const { return readings_.size(); }
  const std::vector<WeightRecord>& Readings() const { return readings_; }

  // Hands every reading over, the last added first, and leaves the list empty.
  std::vector<WeightRecord> TakeNewestFirst();

 private:
  std::vector<WeightRecord> readings_;
};
