#pragma once
// Small text helpers shared by the readers of files and answers.

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

}  // namespace platform
