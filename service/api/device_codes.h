#pragma once
// The device codes the client sends for each kind of device.

#include <string_view>

#include "service/store/device_store.h"

namespace service {

// Pedometer: "A1" and its 32-bit id in ten decimal digits. Scale: "W1" and the receiver's serial
// string (no spaces or control characters, at most 128 bytes in all). Tracker: its positive 64-bit
// id in decimal without leading zeros.
bool IsDeviceCode(DeviceKind kind, std::string_view code);

// How the member site and the administration name a kind.
std::string_view DeviceKindName(DeviceKind kind);

}  // namespace service
