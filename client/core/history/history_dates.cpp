#include "client/core/history/history_dates.h"

#include <cstdio>

namespace {

// Reads up to count numbers separated by single non-digits; each at most 4 digits.
bool ReadNumbers(std::string_view text, int* out, size_t count) {
  size_t pos = 0;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) {
      if (pos >= text.size() || (text[pos] >= '0' && text[pos] <= '9')) return false;
      ++pos;
    }
    int value = 0;
    size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 5) {
      value = value * 10 + (text[pos++] - '0');
      ++digits;
    }
    if (digits == 0 || digits > 4) return false;
    out[i] = value;
  }
  return pos == text.size();
}

bool ValidDate(int y, int m, int d) { return y >= 2000 && y <= 2099 && m >= 1 && m <= 12 && d >= 1 && d <= 31; }

std::string Format(const char* format, const int* f, size_t n) {
  char text[80];
  if (n == 3) std::snprintf(text, sizeof text, format, f[0], f[1], f[2]);
  else std::snprintf(text, sizeof text, format, f[0], f[1], f[2], f[3], f[4], f[5]);
  return text;
}

}  // namespace

std::optional<std::string> IsoDate(std::string_view text) {
  int f[3];
  if (!ReadNumbers(text, f, 3) || !ValidDate(f[0], f[1], f[2])) return std::nullopt;
  return Format("%04d-%02d-%02d", f, 3);
}

std::optional<std::string> IsoDateTime(std::string_view text) {
  int f[6] = {0, 0, 0, 0, 0, 0};
  if (!ReadNumbers(text, f, 6)) {
    std::optional<std::string> day = IsoDate(text);
    if (!day) return std::nullopt;
    return *day + " 00:00:00";
  }
  if (!ValidDate(f[0], f[1], f[2]) || f[3] > 23 || f[4] > 59 || f[5] > 60) return std::nullopt;
  return Format("%04d-%02d-%02d %02d:%02d:%02d", f, 6);
}
