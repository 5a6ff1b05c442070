#pragma once
// Days since 1970-01-01 of a date of the proleptic Gregorian calendar: the distance between two
// dates without the time zones or the C library's broken-down times.

namespace platform {

constexpr long DaysFromCivil(long year, long month, long day) {
  year -= month <= 2;
  long era = (year >= 0 ? year : year - 399) / 400;
  long yearOfEra = year - era * 400;
  long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

static_assert(DaysFromCivil(1970, 1, 1) == 0);
static_assert(DaysFromCivil(2000, 3, 1) - DaysFromCivil(2000, 2, 28) == 2);  // a leap year's February

}  // namespace platform
