#include "common/http/header_text.h"

#include <algorithm>
#include <limits>

#include "platform/text.h"

namespace http {
namespace {

using platform::EqualsIgnoringAsciiCase;
using platform::LowerAscii;

bool IsCharsetCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A byte no header line may carry: it would end the line early on its way out (NUL), or start a
// line of its own at a peer that takes a bare CR as a line end. Tabs are whitespace.
bool HasControlCharacter(std::string_view line) {
  return std::any_of(line.begin(), line.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
  });
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The name of a "Name: value" line, or empty when the line has no colon or no name.
std::string_view NameOf(std::string_view line) {
  size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {};
  return TrimSpaces(line.substr(0, colon));
}

}  // namespace

size_t FindIgnoreCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= text.size() ? from : std::string_view::npos;
  if (text.size() < needle.size()) return std::string_view::npos;
  char first = LowerAscii(needle[0]);
  for (size_t i = from; i + needle.size() <= text.size(); ++i) {
    if (LowerAscii(text[i]) != first) continue;
    size_t k = 1;
    while (k < needle.size() && LowerAscii(text[i + k]) == LowerAscii(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

std::optional<std::string> FindCharset(std::string_view headerBlock) {
  constexpr std::string_view kKey = "charset=";
  for (size_t at = FindIgnoreCase(headerBlock, kKey); at != std::string_view::npos;
       at = FindIgnoreCase(headerBlock, kKey, at + 1)) {
    size_t begin = at + kKey.size();
    size_t end = begin;
    while (end < headerBlock.size() && IsCharsetCharacter(headerBlock[end])) ++end;
    if (end > begin) return std::string(headerBlock.substr(begin, end - begin));
  }
  return std::nullopt;
}

std::optional<uint32_t> FindContentLength(std::string_view headerBlock) {
  constexpr std::string_view kKey = "Content-Length: ";
  for (size_t at = FindIgnoreCase(headerBlock, kKey); at != std::string_view::npos;
       at = FindIgnoreCase(headerBlock, kKey, at + 1)) {
    size_t pos = at + kKey.size();
    if (pos >= headerBlock.size() || !IsDigit(headerBlock[pos])) continue;
    uint64_t value = 0;
    for (; pos < headerBlock.size() && IsDigit(headerBlock[pos]); ++pos) {
      value = value * 10 + static_cast<uint64_t>(headerBlock[pos] - '0');
      if (value > std::numeric_limits<uint32_t>::max()) value = std::numeric_limits<uint32_t>::max();
    }
    return static_cast<uint32_t>(value);
  }
  return std::nullopt;
}

int StatusCodeOf(std::string_view statusLine) {
  if (statusLine.substr(0, 5) != "HTTP/") return 0;
  size_t space = statusLine.find(' ');
  if (space == std::string_view::npos || space + 4 > statusLine.size()) return 0;
  int code = 0;
  for (size_t i = space + 1; i < space + 4; ++i) {
    if (!IsDigit(statusLine[i])) return 0;
    code = code * 10 + (statusLine[i] - '0');
  }
  return code;
}

HeaderLines MergeHeaderLines(std::string_view block) {
  HeaderLines result;
  std::vector<std::string> names;
  std::vector<std::string> values;
  while (!block.empty()) {
    size_t end = block.find('\n');
    std::string_view line = block.substr(0, end);
    block.remove_prefix(end == std::string_view::npos ? block.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (TrimSpaces(line).empty()) continue;
    std::string_view name = NameOf(line);
    if (name.empty() || HasControlCharacter(line)) {
      result.malformed = true;
      continue;
    }
    std::string_view value = TrimSpaces(line.substr(line.find(':') + 1));
    size_t i = 0;
    while (i < names.size() && !EqualsIgnoringAsciiCase(names[i], name)) ++i;
    if (i == names.size()) {
      names.emplace_back(name);
      values.emplace_back(value);
    } else if (!value.empty()) {
      values[i] += values[i].empty() ? "" : "; ";
      values[i] += value;
    }
  }
  for (size_t i = 0; i < names.size(); ++i) {
    // libcurl reads "Name:" as "leave this header out"; an empty value is written "Name;".
    result.lines.push_back(values[i].empty() ? names[i] + ";" : names[i] + ": " + values[i]);
  }
  return result;
}

bool HasHeader(const std::vector<std::string>& lines, std::string_view name) {
  for (const std::string& line : lines) {
    std::string_view n = NameOf(line);
    if (n.empty() && !line.empty() && line.back() == ';') n = std::string_view(line).substr(0, line.size() - 1);
    if (EqualsIgnoringAsciiCase(n, name)) return true;
  }
  return false;
}

}  // namespace http
