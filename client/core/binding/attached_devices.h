#pragma once
// What the add-hardware list shows: each device attached to the PC now, in the order pedometer,
// scale, tracker, with the code it is bound by and the serial text its row shows.

#include <string>
#include <vector>

#include "client/core/users/user_record.h"

class CHIDClass;
class ScaleLink;
class CPace700Kit;

struct AttachedDevice {
  DeviceKind kind = DeviceKind::Pedometer;
  // The code sent to the service; empty when the device's id could not be read.
  std::string code;
  // "序列号：" + code; empty when there is no code (the row keeps its "no serial" text).
  std::string serialText;
};

inline constexpr const char* kSerialPrefix = "序列号：";

// Looks for each kind of device once: opens the pedometer and reads its id (its connected flag
// follows what was found), looks for the scale's receiver, asks the kit for a tracker. At most
// one device of each kind.
std::vector<AttachedDevice> ListAttachedDevices(CHIDClass& pedometer, ScaleLink& scale, CPace700Kit& kit);
