// This kit talks to the simulated tracker.
#include "kit/simulated_tracker.h"

std::unique_ptr<TrackerLink> MakeSimulatedTrackerLink();

std::unique_ptr<TrackerLink> MakeTrackerLink() { return MakeSimulatedTrackerLink(); }
bool SimulatedTracker::InUse() { return true; }
