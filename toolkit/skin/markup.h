#pragma once
// Inline markup in control texts: "{c #0c6eaf}blue{/c}", bold "{b}", italic "{i}", underline "{u}",
// line break "{n}". Tags that are not closed end with the text; unknown or malformed braces are
// kept as plain text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {

struct TextRun {
  std::string text;
  std::optional<uint32_t> color;  // ARGB
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

std::vector<TextRun> ParseMarkup(std::string_view text);
// The text without its tags, as it reads.
std::string StripMarkup(std::string_view text);

}  // namespace toolkit
