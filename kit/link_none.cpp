// This kit has no way to a tracker: it reports none attached, so a client built with it simply
// never sees a K700.
#include "kit/simulated_tracker.h"

namespace {

class NoTracker final : public TrackerLink {
 public:
  bool Attached() override { return false; }
  int64_t DeviceId() override { return -1; }
  std::optional<std::tm> Clock() override { return std::nullopt; }
  bool SetClockToNow() override { return false; }
  std::array<std::optional<TrackerDay>, kDays> Days() override { return {}; }
  bool Erase() override { return false; }
  bool SetParameters(const TrackerParameters&) override { return false; }
};

}  // namespace

std::unique_ptr<TrackerLink> MakeTrackerLink() { return std::make_unique<NoTracker>(); }
bool SimulatedTracker::InUse() { return false; }
