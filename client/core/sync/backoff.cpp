#include "client/core/sync/backoff.h"

#include <algorithm>

void Backoff::Failed(std::time_t now) {
  size_t step = std::min(static_cast<size_t>(failures_), kDelaysSeconds.size() - 1);
  if (failures_ < static_cast<int>(kDelaysSeconds.size())) ++failures_;
  last_ = now;
  next_ = now + kDelaysSeconds[step];
}
