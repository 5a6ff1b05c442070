// Through the portable Unicode conversions, so both platforms treat broken text alike.
#include "platform/wide_text.h"

#include <algorithm>

#include "platform/codepage.h"

namespace platform {

std::wstring Widen(std::string_view utf8) {
  std::string bytes = Utf8ToUtf16Le(utf8);
  std::wstring wide(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < wide.size(); ++i) {
    wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                   (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return wide;
}

std::string Narrow(std::wstring_view utf16) {
  std::string bytes(utf16.size() * 2, '\0');
  for (size_t i = 0; i < utf16.size(); ++i) {
    bytes[2 * i] = static_cast<char>(utf16[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>((utf16[i] >> 8) & 0xFF);
  }
  return Utf16LeToUtf8(bytes);
}

std::string NarrowPath(std::wstring_view utf16) {
  std::string path = Narrow(utf16);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

}  // namespace platform
