#include "toolkit/skin/markup.h"

#include "toolkit/skin/image_spec.h"

namespace toolkit {

std::vector<TextRun> ParseMarkup(std::string_view text) {
  std::vector<TextRun> runs;
  std::vector<std::optional<uint32_t>> colors;  // open {c} tags, innermost last
  int bold = 0, italic = 0, underline = 0;
  std::string pending;
  auto flush = [&] {
    if (pending.empty()) return;
    TextRun run;
    run.text = std::move(pending);
    pending.clear();
    if (!colors.empty()) run.color = colors.back();
    run.bold = bold > 0;
    run.italic = italic > 0;
    run.underline = underline > 0;
    if (!runs.empty() && runs.back().color == run.color && runs.back().bold == run.bold &&
        runs.back().italic == run.italic && runs.back().underline == run.underline) {
      runs.back().text += run.text;
    } else {
      runs.push_back(std::move(run));
    }
  };
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '{') {
      pending.push_back(text[i++]);
      continue;
    }
    size_t close = text.find('}', i);
    if (close == std::string_view::npos) {
      pending.append(text.substr(i));
      break;
    }
    std::string_view tag = text.substr(i + 1, close - i - 1);
    bool known = true;
    if (tag.size() >= 2 && tag[0] == 'c' && tag[1] == ' ') {
      auto color = ParseColor(tag.substr(2));
      if (color) {
        flush();
        colors.push_back(*color);
      } else {
        known = false;
      }
    } else if (tag == "/c") {
      flush();
      if (!colors.empty()) colors.pop_back();
    } else if (tag == "b" || tag == "/b" || tag == "i" || tag == "/i" || tag == "u" || tag == "/u") {
      flush();
      int& counter = tag.back() == 'b' ? bold : (tag.back() == 'i' ? italic : underline);
      counter = tag[0] == '/' ? (counter > 0 ? counter - 1 : 0) : counter + 1;
    } else if (tag == "n") {
      pending.push_back('\n');
    } else {
      known = false;
    }
    if (!known) {
      pending.append(text.substr(i, close - i + 1));
    }
    i = close + 1;
  }
  flush();
  return runs;
}

std::string StripMarkup(std::string_view text) {
  std::string out;
  for (const TextRun& run : ParseMarkup(text)) out += run.text;
  return out;
}

}  // namespace toolkit
