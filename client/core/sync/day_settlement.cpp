#include "client/core/sync/day_settlement.h"

#include <algorithm>

namespace {

// A date that a device holds twice is two days: the second occurrence is keyed apart.
std::string DayKey(std::string_view day, int occurrence) {
  std::string key(day);
  if (occurrence > 0) key += "#" + std::to_string(occurrence + 1);
  return key;
}

}  // namespace

void DaySettlement::Begin(std::string device) {
  device_ = std::move(device);
  seen_.clear();
  next_ = {};
  open_ = true;
}

bool DaySettlement::Settle(std::string_view day, DayAnswer answer) {
  if (!open_) return CountsAsUploaded(answer);
  int& occurrences = seen_[std::string(day)];
  std::string key = DayKey(day, occurrences++);
  if (CountsAsUploaded(answer)) return true;
  if (answer == DayAnswer::NoAnswer) return false;
  int before = 0;
  if (auto d = devices_.find(device_); d != devices_.end()) {
    if (auto r = d->second.refusals.find(key); r != d->second.refusals.end()) before = r->second;
  }
  int inARow = std::min(before + 1, kRefusalsInARow);
  next_.refusals[key] = inARow;
  return inARow >= kRefusalsInARow;
}

void DaySettlement::End() {
  if (!open_) return;
  open_ = false;
  if (next_.refusals.empty()) {
    devices_.erase(device_);
    return;
  }
  next_.lastAttached = ++attachments_;
  devices_[device_] = std::move(next_);
  if (devices_.size() > kMaxDevices) {
    auto oldest = std::min_element(devices_.begin(), devices_.end(), [](const auto& a, const auto& b) {
      return a.second.lastAttached < b.second.lastAttached;
    });
    devices_.erase(oldest);
  }
}
