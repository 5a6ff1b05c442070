#include "client/core/binding/attached_devices.h"

#include "client/core/devices/hid_class.h"
#include "client/core/devices/scale_link.h"
#include "kit/pace700_kit.h"

namespace {
AttachedDevice Listed(DeviceKind kind, std::string code) {
  AttachedDevice device{kind, std::move(code), {}};
  if (!device.code.empty()) device.serialText = kSerialPrefix + device.code;
  return device;
}
}  // namespace

std::vector<AttachedDevice> ListAttachedDevices(CHIDClass& pedometer, ScaleLink& scale, CPace700Kit& kit) {
  std::vector<AttachedDevice> found;
  if (pedometer.Open()) {
    found.push_back(
        Listed(DeviceKind::Pedometer, pedometer.ReadId() ? CHIDClass::IdText(pedometer.LastDeviceId()) : ""));
  } else {
    // Open leaves the flag as it was; a command that finds no device clears it.
    pedometer.ReadId();
  }
  if (scale.Detect()) found.push_back(Listed(DeviceKind::Scale, scale.Serial()));
  if (kit.StepIsConnected()) {
    int64_t id = kit.GetDeviceID(false);
    found.push_back(Listed(DeviceKind::Pace700, id > 0 ? std::to_string(id) : ""));
  }
  return found;
}
