// A build without the device bridge: the system's devices only.
#include "platform/hid/device_host.h"

namespace platform {

std::unique_ptr<HidHost> MakeDeviceHidHost() { return MakeSystemHidHost(); }

bool DeviceBridgeBuiltIn() { return false; }

}  // namespace platform
