#pragma once
// The tracker that vymera-sim serves, reached through its socket. Every question is one exchange on
// the bridge session; when the simulator is not running or does not answer in time the link
// answers as a link without a tracker does.

#include <string>

#include "kit/tracker_link.h"
#include "platform/bridge/session.h"

class BridgeTrackerLink final : public TrackerLink {
 public:
  explicit BridgeTrackerLink(std::string socketPath = platform::bridge::DefaultSocketPath(),
                             platform::bridge::SessionTiming timing = {});

  bool Attached() override;
  int64_t DeviceId() override;
  std::optional<std::tm> Clock() override;
  bool SetClockToNow() override;
  std::array<std::optional<TrackerDay>, kDays> Days() override;
  bool Erase() override;
  bool SetParameters(const TrackerParameters& p) override;

 private:
  platform::bridge::Session session_;
};
