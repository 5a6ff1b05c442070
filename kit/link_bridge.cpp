// This kit reaches the tracker vymera-sim serves. A process that drives the in-process simulated
// tracker itself (tests, benchmarks) keeps the kit to that one, so that a simulator running on the
// same desk never shows up in its results.
#include "kit/bridge_tracker_link.h"
#include "kit/forwarding_link.h"
#include "kit/simulated_tracker.h"

namespace {

class DeskOrBridgeLink final : public ForwardingLink {
 private:
  TrackerLink& Target() override {
    SimulatedTracker& own = SimulatedTracker::Instance();
    if (own.Driven()) return own;
    return bridge_;
  }

  BridgeTrackerLink bridge_;
};

}  // namespace

std::unique_ptr<TrackerLink> MakeTrackerLink() { return std::make_unique<DeskOrBridgeLink>(); }
bool SimulatedTracker::InUse() { return true; }
