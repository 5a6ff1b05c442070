#include "client/core/devices/pending_weights.h"

#include <algorithm>

std::vector<WeightRecord> PendingWeights::TakeNewestFirst() {
  std::vector<WeightRecord> taken = std::move(readings_);
  readings_.clear();
  std::reverse(taken.begin(), taken.end());
  return taken;
}
