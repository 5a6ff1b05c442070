#include "client/core/version/version.h"

#include <cstdint>
#include <cstdio>

#include "platform/file_version.h"
#include "platform/paths.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int32_t ReadLong(std::string_view text) {
  size_t at = 0;
  while (at < text.size() && IsSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int64_t value = 0;
  bool saturated = false;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    value = value * 10 + (text[at] - '0');
    if (value > static_cast<int64_t>(INT32_MAX) + 1) {
      saturated = true;
      break;
    }
  }
  if (negative) value = -value;
  if (saturated || value > INT32_MAX || value < INT32_MIN) return negative ? INT32_MIN : INT32_MAX;
  return static_cast<int32_t>(value);
}

std::string WithoutDots(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '.') out.push_back(c);
  }
  return out;
}

}  // namespace

std::string GetFileVersionString(const std::string& path) {
  std::optional<platform::FileVersion> version = platform::ReadFileVersion(path);
  if (!version) return {};
  char text[64];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", static_cast<int>((*version)[0]), static_cast<int>((*version)[1]),
                static_cast<int>((*version)[2]), static_cast<int>((*version)[3]));
  return text;
}

std::string ProgramVersion() { return GetFileVersionString(platform::ExecutablePath()); }

int CompareVersion(std::string_view a, std::string_view b) {
  int32_t left = ReadLong(WithoutDots(a));
  int32_t right = ReadLong(WithoutDots(b));
  return left > right ? 1 : left < right ? -1 : 0;
}
