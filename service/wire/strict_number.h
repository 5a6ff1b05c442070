#pragma once
// Strict readers for the numbers and dates that arrive in requests and on the command line: the
// whole text must be the value, without signs, spaces or trailing characters, and within range.
// Also the one way weights are written back for people to read.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace service {

// Decimal digits only, at most max. Nothing for an empty text, any other character, or overflow.
std::optional<uint64_t> ParseUnsigned(std::string_view text, uint64_t max = UINT64_MAX);

// A weight as the client writes it ("%.1f"): digits, a point and exactly one digit, above 0 and
// at most 300 kg; returned in tenths of a kilogram.
std::optional<int> ParseWeightTenths(std::string_view text);
// Tenths of a kilogram as kilograms with one decimal, "65.4", for pages and reports.
std::string KilogramText(int tenths);

// A calendar date "Y-M-D" with a four-digit year in [minYear, 2099] and one- or two-digit month
// and day that exist in that year; returned in the stored form "YYYY-MM-DD".
std::optional<std::string> ParseDay(std::string_view text, int minYear = 2000);

struct CalendarDay {
  int year = 0;
  int month = 0;
  int day = 0;
};
// The parts of a day in the stored form ParseDay returns; a part that is not there reads as 0.
CalendarDay PartsOfDay(std::string_view stored);

}  // namespace service
