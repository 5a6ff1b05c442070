#include "client/core/devices/local_time.h"

#include <cstdio>

#include "platform/calendar_time.h"

namespace {

// Wall-clock seconds of calendar fields, counted as if the zone had no offset and no daylight
// saving: the devices count local clock time, not elapsed time.
int64_t WallSeconds(std::tm fields) { return static_cast<int64_t>(platform::TimeOfUtcFields(fields)); }

int64_t WallSeconds2000() {
  std::tm base{};
  base.tm_year = 100;
  base.tm_mday = 1;
  return WallSeconds(base);
}

}  // namespace

std::tm LocalFields(std::time_t t) { return platform::LocalFieldsOf(t); }

uint32_t SecondsSince2000(std::time_t t) {
  int64_t s = WallSeconds(LocalFields(t)) - WallSeconds2000();
  return s < 0 ? 0 : static_cast<uint32_t>(s);
}

std::tm FieldsFromSeconds2000(uint32_t seconds) {
  std::time_t wall = static_cast<std::time_t>(WallSeconds2000() + seconds);
  return platform::UtcFieldsOf(wall);
}

std::time_t TimeFromLocalFields(std::tm fields) {
  fields.tm_isdst = -1;
  return mktime(&fields);
}

std::string DateText(const std::tm& f) {
  char text[48];
  std::snprintf(text, sizeof text, "%d-%02d-%02d", f.tm_year + 1900, f.tm_mon + 1, f.tm_mday);
  return text;
}

std::string DateTimeText(const std::tm& f) {
  char text[80];
  std::snprintf(text, sizeof text, "%d-%02d-%02d-%02d-%02d-%02d", f.tm_year + 1900, f.tm_mon + 1, f.tm_mday,
                f.tm_hour, f.tm_min, f.tm_sec);
  return text;
}
