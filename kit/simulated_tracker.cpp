#include "kit/simulated_tracker.h"

#include "kit/forwarding_link.h"
#include "platform/calendar_time.h"

namespace {

// The kit owns its link; the simulated one forwards to the process's tracker.
class SimulatedLink final : public ForwardingLink {
 private:
  TrackerLink& Target() override { return SimulatedTracker::Instance(); }
};

}  // namespace

std::unique_ptr<TrackerLink> MakeSimulatedTrackerLink() { return std::make_unique<SimulatedLink>(); }

SimulatedTracker& SimulatedTracker::Instance() {
  static SimulatedTracker tracker;
  return tracker;
}

void SimulatedTracker::Reset() {
  Clear();
  std::lock_guard lock(mutex_);
  driven_ = true;
}

bool SimulatedTracker::Driven() const {
  std::lock_guard lock(mutex_);
  return driven_;
}

void SimulatedTracker::Clear() {
  std::lock_guard lock(mutex_);
  attached_ = false;
  id_ = -1;
  days_ = {};
  now_ = [] { return std::time(nullptr); };
  offset_ = 0;
  leap_ = false;
  eraseFails_ = false;
  erases_ = 0;
  clockSets_ = 0;
  parameters_.reset();
}

void SimulatedTracker::Attach(int64_t deviceId) {
  std::lock_guard lock(mutex_);
  driven_ = true;
  attached_ = true;
  id_ = deviceId;
}

void SimulatedTracker::Detach() {
  std::lock_guard lock(mutex_);
  attached_ = false;
}

void SimulatedTracker::StoreDay(int index, int year, int month, int day, std::string data) {
  std::lock_guard lock(mutex_);
  if (index < 0 || index >= kDays) return;
  days_[index] = TrackerDay{year, month, day, std::move(data)};
}

void SimulatedTracker::SetPcClock(std::function<std::time_t()> now) {
  std::lock_guard lock(mutex_);
  now_ = std::move(now);
}

void SimulatedTracker::SetClockOffset(int seconds) {
  std::lock_guard lock(mutex_);
  offset_ = seconds;
}

void SimulatedTracker::SetLeapSecond(bool on) {
  std::lock_guard lock(mutex_);
  leap_ = on;
}

void SimulatedTracker::SetEraseFails(bool on) {
  std::lock_guard lock(mutex_);
  eraseFails_ = on;
}

int SimulatedTracker::Erases() const {
  std::lock_guard lock(mutex_);
  return erases_;
}

int SimulatedTracker::ClockSets() const {
  std::lock_guard lock(mutex_);
  return clockSets_;
}

std::optional<TrackerParameters> SimulatedTracker::LastParameters() const {
  std::lock_guard lock(mutex_);
  return parameters_;
}

int SimulatedTracker::StoredDays() const {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (const auto& d : days_) n += d && !d->data.empty();
  return n;
}

std::array<std::optional<TrackerDay>, TrackerLink::kDays> SimulatedTracker::Stored() const {
  std::lock_guard lock(mutex_);
  return days_;
}

bool SimulatedTracker::Attached() {
  std::lock_guard lock(mutex_);
  return attached_;
}

int64_t SimulatedTracker::DeviceId() {
  std::lock_guard lock(mutex_);
  return attached_ ? id_ : -1;
}

std::optional<std::tm> SimulatedTracker::Clock() {
  std::lock_guard lock(mutex_);
  if (!attached_) return std::nullopt;
  std::time_t t = now_() + offset_;
  std::tm fields = platform::LocalFieldsOf(t);
  if (leap_) fields.tm_sec = 60;
  return fields;
}

bool SimulatedTracker::SetClockToNow() {
  std::lock_guard lock(mutex_);
  if (!attached_) return false;
  offset_ = 0;
  leap_ = false;
  ++clockSets_;
  return true;
}

std::array<std::optional<TrackerDay>, TrackerLink::kDays> SimulatedTracker::Days() {
  std::lock_guard lock(mutex_);
  if (!attached_) return {};
  return days_;
}

bool SimulatedTracker::Erase() {
  std::lock_guard lock(mutex_);
  if (!attached_ || eraseFails_) return false;
  ++erases_;
  days_ = {};
  return true;
}

bool SimulatedTracker::SetParameters(const TrackerParameters& p) {
  std::lock_guard lock(mutex_);
  if (!attached_) return false;
  parameters_ = p;
  return true;
}
