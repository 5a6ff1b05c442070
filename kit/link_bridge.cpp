// This kit reaches the tracker vymera-sim serves. A process that drives the in-process simulated
// tracker itself (tests, benchmarks) keeps the kit to that one, so that a simulator running on the
// same desk never shows up in its results.
#include "kit/bridge_tracker_link.h"
#include "kit/simulated_tracker.h"

std::unique_ptr<TrackerLink> MakeSimulatedTrackerLink();

namespace {

class DeskOrBridgeLink final : public TrackerLink {
 public:
  bool Attached() override { return Link().Attached(); }
  int64_t DeviceId() override { return Link().DeviceId(); }
  std::optional<std::tm> Clock() override { return Link().Clock(); }
  bool SetClockToNow() override { return Link().SetClockToNow(); }
  std::array<std::optional<TrackerDay>, kDays> Days() override { return Link().Days(); }
  bool Erase() override { return Link().Erase(); }
  bool SetParameters(const TrackerParameters& p) override { return Link().SetParameters(p); }

 private:
  TrackerLink& Link() { return SimulatedTracker::Instance().Driven() ? *inProcess_ : bridge_; }

  std::unique_ptr<TrackerLink> inProcess_ = MakeSimulatedTrackerLink();
  BridgeTrackerLink bridge_;
};

}  // namespace

std::unique_ptr<TrackerLink> MakeTrackerLink() { return std::make_unique<DeskOrBridgeLink>(); }
bool SimulatedTracker::InUse() { return true; }
