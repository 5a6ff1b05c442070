#pragma once
// The fixed 8-bit code page of the system (GBK, code page 936) and the UTF-8 text used inside the
// programs. Conversions never fail: what the other side cannot represent becomes "?", as the
// platform conversion of the target systems does, so files and signatures stay byte-compatible.
// The code-page conversion is the platform's (codepage_<platform>.cpp); the Unicode forms and the
// cutting are the same everywhere (codepage.cpp).

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The byte-order mark that opens a UTF-16LE file.
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";

// UTF-8 → code page. Characters without a GBK form, and bytes that are not valid UTF-8, become "?".
std::string ToCodePage(std::string_view utf8);

// As ToCodePage, cut so that the result holds at most maxBytes bytes; the cut falls between
// characters, never inside a double-byte character.
std::string ToCodePage(std::string_view utf8, size_t maxBytes);

// Code page → UTF-8. Byte sequences that are not GBK become "?".
std::string FromCodePage(std::string_view codePage);

// UTF-16LE (without byte-order mark) → UTF-8; unpaired surrogates and a trailing odd byte become U+FFFD.
std::string Utf16LeToUtf8(std::string_view utf16le);

// UTF-8 → UTF-16LE (without byte-order mark); invalid bytes become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view utf8);

// Appends the UTF-8 form of a code point; values that are not Unicode scalars give false and append nothing.
bool AppendUtf8(std::string& out, char32_t codePoint);

// Length of the UTF-8 sequence that starts at text[0] (text not empty), or 1 for a byte that
// starts none.
size_t Utf8SequenceLength(std::string_view text);

// Number of code points in valid UTF-8 text (invalid bytes count one each).
size_t CountCodePoints(std::string_view utf8);

// The longest prefix of utf8 with at most maxCodePoints code points.
std::string_view TruncateCodePoints(std::string_view utf8, size_t maxCodePoints);

}  // namespace platform
