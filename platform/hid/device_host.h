#pragma once
// The HID host the programs use. It is the system's; a build with the device bridge also lists the
// devices vymera-sim serves, after the system's. Which of the two a build is, is chosen when the
// project is configured.

#include <memory>

#include "platform/hid/hid_host.h"

namespace platform {

// Owned by the caller; one per process is enough.
std::unique_ptr<HidHost> MakeDeviceHidHost();

// True in a build with the device bridge.
bool DeviceBridgeBuiltIn();

}  // namespace platform
