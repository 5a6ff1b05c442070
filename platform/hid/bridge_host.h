#pragma once
// The HID interfaces that vymera-sim serves, as a HID host, so that a program on a desk without
// devices still finds a scale and a pedometer. Each open handle has a connection of its own to the
// simulator; a transfer waits as long as it would on the system's host plus kTransitMs for the
// trip through the socket. When the simulator ends, its devices are gone: open handles fail at once
// and enumeration lists none.

#include <string>

#include "platform/bridge/session.h"
#include "platform/hid/hid_host.h"

namespace platform {

class BridgeHidHost final : public HidHost {
 public:
  // Before every path the simulator gives, so that paths of the system's devices never clash.
  static constexpr const char* kPathPrefix = "vymera-sim:";
  static constexpr int kTransitMs = 100;

  explicit BridgeHidHost(std::string socketPath = bridge::DefaultSocketPath(), bridge::SessionTiming timing = {});

  // The simulator's interfaces; none when it is not running or does not answer in time.
  std::vector<HidInterface> Enumerate(uint16_t vendorId, uint16_t productId) override;
  // Null for a path that is not the simulator's, or when it does not open it.
  std::unique_ptr<HidDevice> Open(const std::string& path) override;

 private:
  bridge::Session session_;
};

}  // namespace platform
