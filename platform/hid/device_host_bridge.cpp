// A build with the device bridge: the system's devices, then vymera-sim's.
#include "platform/hid/bridge_host.h"
#include "platform/hid/composite_host.h"
#include "platform/hid/device_host.h"

namespace platform {

std::unique_ptr<HidHost> MakeDeviceHidHost() {
  std::vector<std::unique_ptr<HidHost>> hosts;
  hosts.push_back(MakeSystemHidHost());
  hosts.push_back(std::make_unique<BridgeHidHost>());
  return std::make_unique<CompositeHidHost>(std::move(hosts));
}

bool DeviceBridgeBuiltIn() { return true; }

}  // namespace platform
