#include "platform/calendar_time.h"

namespace platform {

std::tm LocalFieldsOf(std::time_t t) {
  std::tm fields{};
  if (localtime_s(&fields, &t) != 0) return std::tm{};
  return fields;
}

std::tm UtcFieldsOf(std::time_t t) {
  std::tm fields{};
  if (gmtime_s(&fields, &t) != 0) return std::tm{};
  return fields;
}

std::time_t TimeOfUtcFields(std::tm fields) { return _mkgmtime(&fields); }

}  // namespace platform
