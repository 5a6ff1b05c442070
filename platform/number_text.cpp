#include "platform/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/text.h"

namespace platform {

std::string FixedText(double value, int decimals) {
  // The longest fixed text of a double has 309 digits before the point.
  char buffer[512];
  int precision = std::clamp(decimals, 0, 100);
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
  return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

std::optional<double> LeadingDecimal(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') text.remove_prefix(1);
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace platform
