#pragma once
// Calendar fields of a time and back, through the C library's thread-safe forms, which each system
// spells its own way.

#include <ctime>

namespace platform {

// The local calendar fields of t; all zero when the system cannot give them.
std::tm LocalFieldsOf(std::time_t t);
// The UTC calendar fields of t; all zero when the system cannot give them.
std::tm UtcFieldsOf(std::time_t t);
// The time whose UTC fields these are (out-of-range fields carry over as mktime's do); -1 when
// there is none.
std::time_t TimeOfUtcFields(std::tm fields);

}  // namespace platform
