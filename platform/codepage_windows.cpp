// The code-page conversion through the system's own tables (MultiByteToWideChar and
// WideCharToMultiByte with code page 936), the conversion the files were always written with.
#include <windows.h>

#include "platform/codepage.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

constexpr UINT kCodePage = 936;

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// The bytes' UTF-16 form when every one of them is code-page text.
bool DecodeStrictly(std::string_view bytes, std::wstring& out) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return bytes.empty();
  int size = static_cast<int>(bytes.size());
  int need = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (need <= 0) return false;
  size_t start = out.size();
  out.resize(start + static_cast<size_t>(need));
  return MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), size, out.data() + start, need) == need;
}

// The length of a UTF-8 sequence cut off by the end of text: its lead and the continuation bytes that
// follow it, fewer than the lead announces; 0 when text does not end that way.
size_t CutSequenceAtEnd(std::string_view text) {
  for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
    unsigned char c = static_cast<unsigned char>(text[text.size() - back]);
    if (c >= 0x80 && c <= 0xBF) continue;  // a continuation byte: the lead is further back
    size_t wanted = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    return wanted > back ? back : 0;
  }
  return 0;
}

}  // namespace

std::string ToCodePage(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  // A sequence cut by the end is one character that did not arrive whole: one "?".
  size_t cut = CutSequenceAtEnd(utf8);
  std::wstring wide = Widen(utf8.substr(0, utf8.size() - cut));
  if (cut > 0) wide.push_back(0xFFFD);
  // Code page 936 has no characters beyond the basic plane, and U+FFFD stands for bytes that were
  // not UTF-8: each is one "?", not one per UTF-16 unit.
  std::wstring units;
  units.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    wchar_t u = wide[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) ++i;
    units.push_back(u == 0xFFFD || (u >= 0xD800 && u <= 0xDFFF) ? L'?' : u);
  }
  if (units.size() > 0x3FFFFFFF) return std::string(units.size(), '?');
  int size = static_cast<int>(units.size());
  // No best fit: a character without a form of its own becomes "?", never a look-alike.
  int need = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, units.data(), size, nullptr, 0, "?", nullptr);
  std::string out(need > 0 ? static_cast<size_t>(need) : 0, '\0');
  if (need <= 0 || WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, units.data(), size, out.data(), need, "?",
                                       nullptr) != need) {
    return std::string(units.size(), '?');
  }
  return out;
}

std::string FromCodePage(std::string_view codePage) {
  if (IsAscii(codePage)) return std::string(codePage);
  std::wstring wide;
  if (DecodeStrictly(codePage, wide)) return Narrow(wide);
  // Some bytes are not code-page text: each such byte becomes "?" and decoding goes on behind it.
  wide.clear();
  size_t i = 0;
  while (i < codePage.size()) {
    unsigned char c = static_cast<unsigned char>(codePage[i]);
    if (c < 0x80) {
      wide.push_back(c);
      ++i;
    } else if (i + 1 < codePage.size() && DecodeStrictly(codePage.substr(i, 2), wide)) {
      i += 2;
    } else if (DecodeStrictly(codePage.substr(i, 1), wide)) {
      ++i;
    } else {
      wide.push_back(L'?');
      ++i;
    }
  }
  return Narrow(wide);
}

}  // namespace platform
