#include "common/http/body_text.h"

#include "common/http/header_text.h"
#include "platform/codepage.h"
#include "platform/text.h"

namespace http {
namespace {

std::string_view TextPart(std::string_view body) { return body.substr(0, body.find('\0')); }

}  // namespace

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    unsigned char second = static_cast<unsigned char>(text[i + 1]);
    if (second < low || second > high) return false;
    for (size_t k = 2; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

std::string DecodeBody(std::string_view body, std::string_view charset) {
  std::string_view text = TextPart(body);
  if (platform::EqualsIgnoringAsciiCase(charset.substr(0, 5), "utf-8") && IsValidUtf8(text)) return std::string(text);
  return platform::FromCodePage(text);
}

bool IsIncompleteHtmlPage(std::string_view body) {
  std::string_view text = TextPart(body);
  size_t open = FindIgnoreCase(text, "<html>");
  return open != std::string_view::npos && FindIgnoreCase(text, "</html>") == std::string_view::npos;
}

}  // namespace http
