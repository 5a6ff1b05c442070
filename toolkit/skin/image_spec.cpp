#include "toolkit/skin/image_spec.h"

#include <charconv>
#include <vector>

namespace toolkit {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::optional<int> ParseInt(std::string_view s) {
  s = Trim(s);
  int value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<CRect> ParseRectValue(std::string_view text) {
  std::vector<int> parts;
  while (true) {
    size_t comma = text.find(',');
    auto value = ParseInt(text.substr(0, comma));
    if (!value) return std::nullopt;
    parts.push_back(*value);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  if (parts.size() != 4) return std::nullopt;
  return CRect(parts[0], parts[1], parts[2], parts[3]);
}

std::optional<uint32_t> ParseColor(std::string_view text) {
  text = Trim(text);
  int base = 16;
  bool sixDigits = false;
  if (!text.empty() && text.front() == '#') {
    text.remove_prefix(1);
    sixDigits = text.size() == 6;
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  } else {
    base = 10;
  }
  if (text.empty() || text.size() > (base == 16 ? 8u : 10u)) return std::nullopt;
  uint64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (ec != std::errc() || end != text.data() + text.size() || value > 0xFFFFFFFFull) return std::nullopt;
  auto color = static_cast<uint32_t>(value);
  if (sixDigits) color |= 0xFF000000u;
  return color;
}

std::optional<ImageSpec> ParseImageSpec(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  ImageSpec spec;
  if (text.find('=') == std::string_view::npos || text.find('\'') == std::string_view::npos) {
    spec.file = std::string(text);
    return spec;
  }
  // key='value' pairs, separated by blanks.
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t eq = text.find('=', i);
    if (eq == std::string_view::npos) break;
    std::string_view key = Trim(text.substr(i, eq - i));
    size_t open = text.find('\'', eq);
    if (open == std::string_view::npos) break;
    size_t close = text.find('\'', open + 1);
    if (close == std::string_view::npos) break;
    std::string_view value = text.substr(open + 1, close - open - 1);
    i = close + 1;
    if (key == "file" || key == "res") {
      spec.file = std::string(value);
    } else if (key == "source") {
      spec.source = ParseRectValue(value);
    } else if (key == "dest") {
      spec.dest = ParseRectValue(value);
    } else if (key == "corner") {
      if (auto r = ParseRectValue(value)) spec.corner = *r;
    } else if (key == "fade") {
      if (auto f = ParseInt(value)) spec.fade = *f < 0 ? 0 : (*f > 255 ? 255 : *f);
    } else if (key == "mask") {
      if (auto c = ParseColor(value)) spec.mask = *c & 0x00FFFFFFu;
    } else if (key == "xtiled") {
      spec.xTiled = value == "true";
    } else if (key == "ytiled") {
      spec.yTiled = value == "true";
    }
  }
  if (spec.file.empty()) return std::nullopt;
  return spec;
}

}  // namespace toolkit
