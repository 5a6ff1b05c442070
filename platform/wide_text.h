#pragma once
// UTF-8, the programs' own text, and UTF-16, the text of the Windows system calls. Used only by the
// Windows files of the platform facilities, at the call.

#include <string>
#include <string_view>

namespace platform {

// UTF-8 → UTF-16; bytes that are not UTF-8 become U+FFFD.
std::wstring Widen(std::string_view utf8);

// UTF-16 → UTF-8; unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view utf16);

// A path as the system gives it (C:\Users\...) in the programs' form, with "/" between its parts.
std::string NarrowPath(std::wstring_view utf16);

}  // namespace platform
