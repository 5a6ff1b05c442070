#pragma once
// Local wall-clock times as the devices count them (seconds since 2000-01-01 00:00:00 local) and the
// date texts of a reading.

#include <cstdint>
#include <ctime>
#include <string>

// The local calendar fields of t.
std::tm LocalFields(std::time_t t);
// Local wall-clock seconds from 2000-01-01 00:00:00 to t; 0 for times before it.
uint32_t SecondsSince2000(std::time_t t);
// The calendar fields of a device time (seconds since 2000-01-01 00:00:00 local).
std::tm FieldsFromSeconds2000(uint32_t seconds);
// The same fields as an epoch time; -1 when they are not a valid time.
std::time_t TimeFromLocalFields(std::tm fields);

// "%d-%02d-%02d" and "%d-%02d-%02d-%02d-%02d-%02d" of local fields.
std::string DateText(const std::tm& fields);
std::string DateTimeText(const std::tm& fields);
