#include "platform/codepage.h"

namespace platform {
namespace {

size_t GbkCharacterLength(std::string_view text) {
  unsigned char lead = static_cast<unsigned char>(text[0]);
  return lead >= 0x81 && lead <= 0xFE && text.size() >= 2 ? 2 : 1;
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text) {
  unsigned char lead = static_cast<unsigned char>(text[0]);
  size_t length = lead < 0x80 ? 1 : lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
  if (lead >= 0xF5) length = 1;
  if (length > text.size()) return 1;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

std::string ToCodePage(std::string_view utf8, size_t maxBytes) {
  std::string converted = ToCodePage(utf8);
  if (converted.size() <= maxBytes) return converted;
  size_t end = 0;
  while (end < converted.size()) {
    size_t next = end + GbkCharacterLength(std::string_view(converted).substr(end));
    if (next > maxBytes) break;
    end = next;
  }
  converted.resize(end);
  return converted;
}

bool AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return true;
}

std::string Utf16LeToUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  auto unit = [&](size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(in[i]) | (static_cast<unsigned char>(in[i + 1]) << 8));
  };
  size_t i = 0;
  for (; i + 1 < in.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < in.size()) {
      char16_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (!AppendUtf8(out, cp)) AppendUtf8(out, 0xFFFD);
  }
  if (i < in.size()) AppendUtf8(out, 0xFFFD);
  return out;
}

std::string Utf8ToUtf16Le(std::string_view in) {
  std::string out;
  out.reserve(in.size() * 2);
  auto put = [&](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  while (!in.empty()) {
    size_t length = Utf8SequenceLength(in);
    char32_t cp = static_cast<unsigned char>(in[0]);
    if (length == 1 && cp >= 0x80) {
      cp = 0xFFFD;
    } else if (length > 1) {
      cp &= 0x7F >> length;
      for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(in[k]) & 0x3F);
      bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
      if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    }
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
    in.remove_prefix(length);
  }
  return out;
}

size_t CountCodePoints(std::string_view utf8) {
  size_t count = 0;
  while (!utf8.empty()) {
    utf8.remove_prefix(Utf8SequenceLength(utf8));
    ++count;
  }
  return count;
}

std::string_view TruncateCodePoints(std::string_view utf8, size_t maxCodePoints) {
  size_t end = 0;
  for (size_t n = 0; n < maxCodePoints && end < utf8.size(); ++n) {
    end += Utf8SequenceLength(utf8.substr(end));
  }
  return utf8.substr(0, end);
}

}  // namespace platform
