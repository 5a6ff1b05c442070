// Fuzzes the header block searches the client runs over every answer (charset, Content-Length,
// status line) and the shaping of header lines. Beyond crashes, leaks and hangs it checks what the
// results promise: a match is really there, a miss means there is none, and shaped lines carry a
// name each, once, and no line break.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/http/header_text.h"
#include "platform/text.h"

namespace {

void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
  }
}

bool SameIgnoringCase(char a, char b) { return platform::LowerAscii(a) == platform::LowerAscii(b); }

// The plain way to search, to hold FindIgnoreCase against.
size_t SearchIgnoringCase(std::string_view text, std::string_view needle, size_t from) {
  if (from > text.size()) return std::string_view::npos;
  auto found = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), needle.begin(), needle.end(),
                           SameIgnoringCase);
  if (found == text.end() && !needle.empty()) return std::string_view::npos;
  return static_cast<size_t>(found - text.begin());
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void CheckSearch(std::string_view input) {
  if (input.size() < 2) return;
  // The first byte splits the rest into a needle and a text, and says where to start.
  const size_t needleLength = std::min<size_t>(static_cast<unsigned char>(input[0]) % 16, input.size() - 1);
  std::string_view needle = input.substr(1, needleLength);
  std::string_view text = input.substr(1 + needleLength);
  const size_t from = static_cast<unsigned char>(input[0]) / 16;
  Require(http::FindIgnoreCase(text, needle, from) == SearchIgnoringCase(text, needle, from), "FindIgnoreCase");
}

bool IsCharsetCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(c) || c == '-' || c == '_';
}

void CheckCharset(std::string_view block) {
  constexpr std::string_view kKey = "charset=";
  std::optional<std::string> charset = http::FindCharset(block);
  if (!charset) {
    for (size_t at = http::FindIgnoreCase(block, kKey); at != std::string_view::npos;
         at = http::FindIgnoreCase(block, kKey, at + 1)) {
      Require(at + kKey.size() == block.size() || !IsCharsetCharacter(block[at + kKey.size()]),
              "FindCharset missed a value");
    }
    return;
  }
  Require(!charset->empty() && std::all_of(charset->begin(), charset->end(), IsCharsetCharacter),
          "FindCharset took a character outside the pattern");
  Require(http::FindIgnoreCase(block, std::string(kKey) + *charset) != std::string_view::npos,
          "FindCharset's value is not in the block");
}

void CheckContentLength(std::string_view block) {
  constexpr std::string_view kKey = "Content-Length: ";
  size_t first = std::string_view::npos;
  for (size_t at = http::FindIgnoreCase(block, kKey); at != std::string_view::npos;
       at = http::FindIgnoreCase(block, kKey, at + 1)) {
    if (at + kKey.size() < block.size() && IsDigit(block[at + kKey.size()])) {
      first = at + kKey.size();
      break;
    }
  }
  std::optional<uint32_t> length = http::FindContentLength(block);
  Require(length.has_value() == (first != std::string_view::npos), "FindContentLength found or missed wrongly");
  if (!length) return;
  // Up to ten digits are read exactly; more than that is beyond 32 bits unless led by zeros.
  size_t end = first;
  while (end < block.size() && IsDigit(block[end])) ++end;
  std::string digits(block.substr(first, end - first));
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  const uint64_t expected = digits.size() > 10 ? UINT32_MAX : std::min<uint64_t>(std::stoull(digits), UINT32_MAX);
  Require(*length == expected, "FindContentLength read the wrong number");
}

void CheckStatusCodes(std::string_view block) {
  for (size_t start = 0; start < block.size();) {
    size_t end = block.find('\n', start);
    if (end == std::string_view::npos) end = block.size();
    const int code = http::StatusCodeOf(block.substr(start, end - start + 1));
    Require(code >= 0 && code <= 999, "StatusCodeOf out of range");
    Require(code == 0 || block.substr(start, 5) == "HTTP/", "StatusCodeOf of a line that is no status line");
    start = end + 1;
  }
}

void CheckMergedLines(std::string_view block) {
  http::HeaderLines merged = http::MergeHeaderLines(block);
  for (size_t i = 0; i < merged.lines.size(); ++i) {
    const std::string& line = merged.lines[i];
    Require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
            "a shaped line holds a line break or a NUL");
    const size_t end = std::min(line.find(':'), line.size() - 1);
    Require(end > 0 && (line[end] == ':' || line[end] == ';'), "a shaped line has no name");
    const std::string name = line.substr(0, end);
    Require(http::HasHeader(merged.lines, name), "HasHeader misses a shaped line");
    for (size_t k = 0; k < i; ++k) {
      Require(!http::HasHeader({merged.lines[k]}, name), "a name shaped into two lines");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckSearch(input);
  CheckCharset(input);
  CheckContentLength(input);
  CheckStatusCodes(input);
  CheckMergedLines(input);
  return 0;
}
