#include "service/wire/strict_number.h"

#include <cstdio>

namespace service {

std::optional<uint64_t> ParseUnsigned(std::string_view text, uint64_t max) {
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    uint64_t digit = static_cast<uint64_t>(c - '0');
    if (digit > max || value > (max - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::optional<int> ParseWeightTenths(std::string_view text) {
  size_t point = text.find('.');
  if (point == std::string_view::npos || point == 0 || point > 3 || text.size() != point + 2) return std::nullopt;
  auto whole = ParseUnsigned(text.substr(0, point), 999);
  auto tenth = ParseUnsigned(text.substr(point + 1), 9);
  if (!whole || !tenth) return std::nullopt;
  int tenths = static_cast<int>(*whole * 10 + *tenth);
  if (tenths <= 0 || tenths > 3000) return std::nullopt;
  return tenths;
}

std::string KilogramText(int tenths) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%d", tenths / 10, tenths % 10);
  return text;
}

std::optional<std::string> ParseDay(std::string_view text, int minYear) {
  size_t first = text.find('-');
  size_t second = first == std::string_view::npos ? first : text.find('-', first + 1);
  if (second == std::string_view::npos || first != 4) return std::nullopt;
  std::string_view monthText = text.substr(first + 1, second - first - 1);
  std::string_view dayText = text.substr(second + 1);
  if (monthText.size() > 2 || dayText.size() > 2) return std::nullopt;
  auto year = ParseUnsigned(text.substr(0, 4), 9999);
  auto month = ParseUnsigned(monthText, 99);
  auto day = ParseUnsigned(dayText, 99);
  if (!year || !month || !day) return std::nullopt;
  if (*year < static_cast<uint64_t>(minYear) || *year > 2099 || *month < 1 || *month > 12 || *day < 1)
    return std::nullopt;
  static constexpr int kDaysIn[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (*year % 4 == 0 && *year % 100 != 0) || *year % 400 == 0;
  uint64_t last = static_cast<uint64_t>(kDaysIn[*month - 1]) + (leap && *month == 2 ? 1 : 0);
  if (*day > last) return std::nullopt;
  char stored[16];
  std::snprintf(stored, sizeof stored, "%04d-%02d-%02d", static_cast<int>(*year), static_cast<int>(*month),
                static_cast<int>(*day));
  return std::string(stored);
}

CalendarDay PartsOfDay(std::string_view stored) {
  auto part = [stored](size_t at, size_t length) {
    return at < stored.size() ? static_cast<int>(ParseUnsigned(stored.substr(at, length)).value_or(0)) : 0;
  };
  return {part(0, 4), part(5, 2), part(8, 2)};
}

}  // namespace service
