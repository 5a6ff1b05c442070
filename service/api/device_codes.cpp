#include "service/api/device_codes.h"

#include <cstdint>

#include "service/wire/strict_number.h"

namespace service {

bool IsDeviceCode(DeviceKind kind, std::string_view code) {
  switch (kind) {
    case DeviceKind::Pedometer:
      return code.size() == 12 && code.substr(0, 2) == "A1" && ParseUnsigned(code.substr(2), UINT32_MAX).has_value();
    case DeviceKind::Scale:
      if (code.size() < 3 || code.size() > 128 || code.substr(0, 2) != "W1") return false;
      for (char c : code)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
      return true;
    case DeviceKind::Pace700: {
      auto id = ParseUnsigned(code, INT64_MAX);
      return id && *id > 0 && code.front() != '0';
    }
  }
  return false;
}

std::string_view DeviceKindName(DeviceKind kind) {
  switch (kind) {
    case DeviceKind::Pedometer: return "计步器";
    case DeviceKind::Scale: return "健康秤";
    case DeviceKind::Pace700: return "运动追踪器";
  }
  return "";
}

}  // namespace service
