#include "kit/bridge_tracker_link.h"

namespace bridge = platform::bridge;

BridgeTrackerLink::BridgeTrackerLink(std::string socketPath, bridge::SessionTiming timing)
    : session_(std::move(socketPath), timing) {}

bool BridgeTrackerLink::Attached() {
  auto reply = session_.Ask<bridge::TrackerAttachedReply>(bridge::TrackerAttachedRequest{});
  return reply && reply->value;
}

int64_t BridgeTrackerLink::DeviceId() {
  auto reply = session_.Ask<bridge::TrackerDeviceIdReply>(bridge::TrackerDeviceIdRequest{});
  return reply ? reply->id : -1;
}

std::optional<std::tm> BridgeTrackerLink::Clock() {
  auto reply = session_.Ask<bridge::TrackerClockReply>(bridge::TrackerClockRequest{});
  return reply ? reply->clock : std::nullopt;
}

bool BridgeTrackerLink::SetClockToNow() {
  auto reply = session_.Ask<bridge::TrackerSetClockReply>(bridge::TrackerSetClockRequest{});
  return reply && reply->value;
}

std::array<std::optional<TrackerDay>, TrackerLink::kDays> BridgeTrackerLink::Days() {
  std::array<std::optional<TrackerDay>, kDays> days;
  auto reply = session_.Ask<bridge::TrackerDaysReply>(bridge::TrackerDaysRequest{});
  if (!reply) return days;
  for (bridge::TrackerDayEntry& d : reply->days) days[d.index] = TrackerDay{d.year, d.month, d.day, std::move(d.data)};
  return days;
}

bool BridgeTrackerLink::Erase() {
  auto reply = session_.Ask<bridge::TrackerEraseReply>(bridge::TrackerEraseRequest{});
  return reply && reply->value;
}

bool BridgeTrackerLink::SetParameters(const TrackerParameters& p) {
  bridge::TrackerSetParametersRequest request;
  request.values = {p.sex, p.age, p.height, p.weight, p.stepValue, p.dailyGoal, p.goalUnit};
  auto reply = session_.Ask<bridge::TrackerSetParametersReply>(request);
  return reply && reply->value;
}
