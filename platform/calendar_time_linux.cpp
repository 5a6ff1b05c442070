#include "platform/calendar_time.h"

namespace platform {

std::tm LocalFieldsOf(std::time_t t) {
  std::tm fields{};
  if (!localtime_r(&t, &fields)) return std::tm{};
  return fields;
}

std::tm UtcFieldsOf(std::time_t t) {
  std::tm fields{};
  if (!gmtime_r(&t, &fields)) return std::tm{};
  return fields;
}

std::time_t TimeOfUtcFields(std::tm fields) { return timegm(&fields); }

}  // namespace platform
