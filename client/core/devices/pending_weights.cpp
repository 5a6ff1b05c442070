#include "client/core/devices/pending_weights.h"

#include <algorithm>

std::vector<WeightRecord> PendingWeights::TakeNewestFirst() {
  std::vector<WeightRecord> taken = std::move(readings_);
  readings_.clear();
  std::reverse(taken.begin(), taken.end());
  return taken;
}

bool PendingWeights::Add(WeightRecord reading) {
  if (readings_.size() >= kMaxReadings || (keeper_ && !keeper_->MayHoldMore())) return false;
  readings_.push_back(std::move(reading));
  if (keeper_ && !keeper_->Keep()) {
    readings_.pop_back();
    return false;
  }
  return true;
}
