#pragma once
// Small text helpers shared by the readers of files and answers.

#include <cstddef>
#include <string_view>

namespace platform {

// Tab, LF, CR and space: the blanks that the file formats of the system trim.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// text without leading and trailing blanks.
constexpr std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// c with A-Z turned into a-z; every other byte, those of multibyte characters included, as it is.
constexpr char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when a and b are equal with ASCII letters compared without case.
constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace platform
