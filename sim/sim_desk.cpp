#include "sim/sim_desk.h"

#include <cinttypes>
#include <cstdio>

namespace sim {
namespace {

std::string Format(const char* format, auto... values) {
  char text[512];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

std::string Count(size_t n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

const char* PluggedText(bool plugged) { return plugged ? "plugged  " : "unplugged"; }

std::string ParametersText(const std::optional<TrackerParameters>& p) {
  if (!p) return "none yet";
  return Format("sex %d, age %d, height %d, weight %d, step %d, goal %d, unit %d", p->sex, p->age, p->height,
                p->weight, p->stepValue, p->dailyGoal, p->goalUnit);
}

}  // namespace

uint32_t ScaleSeconds(std::time_t when) {
  std::tm epoch{};
  epoch.tm_year = 100;
  epoch.tm_mday = 1;
  epoch.tm_isdst = -1;
  std::time_t start = std::mktime(&epoch);
  if (when <= start) return 0;
  return static_cast<uint32_t>(std::min<std::time_t>(when - start, UINT32_MAX));
}

SimDesk::SimDesk(DeskIds ids)
    : ids_(std::move(ids)),
      scale_(std::make_shared<SimScale>(ids_.scaleSerial, 3)),
      pedometer_(std::make_shared<SimPedometer>(ids_.pedometerId)) {
  host_.Attach(scale_);
  host_.Attach(pedometer_);
  tracker_.Attach(ids_.trackerId);
}

bool SimDesk::Weigh(float kg, size_t& sent) {
  sent = 0;
  if (!scale_->Plugged()) return false;
  std::lock_guard lock(mutex_);
  scale_->SendLive(ids_.scaleDeviceId, kg, ScaleSeconds(std::time(nullptr)));
  for (const Reading& r : memory_) {
    scale_->SendStored(ids_.scaleDeviceId, r.kg, r.secondsSince2000, nextRecord_);
    nextRecord_ = nextRecord_ == 255 ? 1 : nextRecord_ + 1;
  }
  sent = memory_.size();
  memory_.clear();
  return true;
}

bool SimDesk::Store(float kg, std::time_t when) {
  std::lock_guard lock(mutex_);
  if (memory_.size() >= kScaleMemory) return false;
  memory_.push_back({kg, ScaleSeconds(when)});
  return true;
}

size_t SimDesk::StoredReadings() const {
  std::lock_guard lock(mutex_);
  return memory_.size();
}

bool SimDesk::AddPedometerDay(int year, int month, int day, uint8_t fill) {
  return pedometer_->AddDay(year, month, day, fill);
}

bool SimDesk::AddTrackerDay(int year, int month, int day, const std::string& data) {
  auto days = tracker_.Stored();
  int index = -1;
  for (int i = 0; i < TrackerLink::kDays && index < 0; ++i) {
    const auto& d = days[i];
    if (d && !d->data.empty() && d->year == year && d->month == month && d->day == day) index = i;
  }
  for (int i = 0; i < TrackerLink::kDays && index < 0; ++i) {
    if (!days[i] || days[i]->data.empty()) index = i;
  }
  if (index < 0) return false;
  tracker_.StoreDay(index, year, month, day, data);
  return true;
}

void SimDesk::Plug(DeskDevice device) {
  switch (device) {
    case DeskDevice::Scale: scale_->Plug(); break;
    case DeskDevice::Pedometer: pedometer_->Plug(); break;
    case DeskDevice::Tracker: tracker_.Attach(ids_.trackerId); break;
  }
}

void SimDesk::Unplug(DeskDevice device) {
  switch (device) {
    case DeskDevice::Scale: scale_->Unplug(); break;
    case DeskDevice::Pedometer: pedometer_->Unplug(); break;
    case DeskDevice::Tracker: tracker_.Detach(); break;
  }
}

bool SimDesk::Plugged(DeskDevice device) const {
  switch (device) {
    case DeskDevice::Scale: return scale_->Plugged();
    case DeskDevice::Pedometer: return pedometer_->Plugged();
    case DeskDevice::Tracker: return tracker_.Attached();
  }
  return false;
}

std::string SimDesk::Status() const {
  std::vector<SimScale::Ack> acks = scale_->Acks();
  size_t matched = 0;
  for (const auto& a : acks) matched += a.matched;
  std::string out = Format("scale      %s  serial %s (bound as W1%s), %zu acknowledged, %zu unanswered, %zu in memory\n",
                           PluggedText(scale_->Plugged()), ids_.scaleSerial.c_str(), ids_.scaleSerial.c_str(), matched,
                           scale_->Unanswered(), StoredReadings());

  std::tm clock = pedometer_->Clock();
  auto profile = pedometer_->LastProfile();
  out += Format("pedometer  %s  id %u (bound as A1%.10u), %s, clock %04d-%02d-%02d %02d:%02d:%02d, %zu clears%s\n",
                PluggedText(pedometer_->Plugged()), ids_.pedometerId, ids_.pedometerId,
                Count(static_cast<size_t>(pedometer_->DayCount()), "day", "days").c_str(),
                clock.tm_year + 1900, clock.tm_mon + 1, clock.tm_mday, clock.tm_hour, clock.tm_min, clock.tm_sec,
                pedometer_->Clears().size(),
                profile ? Format(", profile weight %u height %u goal %u user %u", profile->weight, profile->height,
                                 profile->goal, profile->userId)
                              .c_str()
                        : "");

  out += Format("tracker    %s  id %" PRId64 ", %s, %d erases, %d clock sets, parameters %s\n",
                PluggedText(tracker_.Attached()), ids_.trackerId,
                Count(static_cast<size_t>(tracker_.StoredDays()), "day", "days").c_str(), tracker_.Erases(),
                tracker_.ClockSets(), ParametersText(tracker_.LastParameters()).c_str());
  return out;
}

}  // namespace sim
