#include "common/xml/xml_escape.h"

#include "platform/codepage.h"

namespace {

constexpr std::string_view kSpecial = "&<>\"'";

struct Entity {
  std::string_view text;
  char character;
};
constexpr Entity kEntities[] = {{"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&lt;", '<'}, {"&gt;", '>'}};

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Decodes the character reference at text[0] ("&#..."); returns the bytes it covers, or 0 when it is
// not a usable reference (no digits, or not a Unicode scalar value), in which case it stays as text.
size_t DecodeReference(std::string_view text, std::string& out) {
  size_t at = 2;
  bool hex = at < text.size() && (text[at] == 'x' || text[at] == 'X');
  if (hex) ++at;
  size_t digitsStart = at;
  char32_t value = 0;
  bool tooLarge = false;
  for (; at < text.size(); ++at) {
    int digit = DigitValue(text[at], hex);
    if (digit < 0) break;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    if (value > 0x10FFFF) {
      tooLarge = true;
      value = 0x110000;
    }
  }
  if (at == digitsStart || tooLarge || value == 0 || !platform::AppendUtf8(out, value)) return 0;
  // The byte behind the digits, normally ";", belongs to the reference.
  return at < text.size() ? at + 1 : at;
}

}  // namespace

std::string XmlEscape(std::string_view text) {
  if (text.find_first_of(kSpecial) == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    switch (c) {
      case '&':
        // A character reference given by a caller is kept as one.
        out += i + 1 < text.size() && text[i + 1] == '#' ? "&" : "&amp;";
        break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string XmlUnescape(std::string_view text) {
  size_t amp = text.find('&');
  if (amp == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size());
  while (amp != std::string_view::npos) {
    out.append(text.substr(0, amp));
    text.remove_prefix(amp);
    size_t used = 0;
    if (text.size() > 1 && text[1] == '#') {
      used = DecodeReference(text, out);
    } else {
      for (const Entity& entity : kEntities) {
        if (text.starts_with(entity.text)) {
          out.push_back(entity.character);
          used = entity.text.size();
          break;
        }
      }
    }
    if (used == 0) {
      out.push_back('&');
      used = 1;
    }
    text.remove_prefix(used);
    amp = text.find('&');
  }
  out.append(text);
  return out;
}
