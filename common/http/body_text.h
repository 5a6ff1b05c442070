#pragma once
// What an answer body means as text. Both functions read only the part of the body before its
// first zero byte: that is all of it that ever becomes text.

#include <string>
#include <string_view>

namespace http {

// The body decoded to UTF-8: read as UTF-8 when charset begins with "utf-8" (any case) and the
// body is valid UTF-8, otherwise in the 8-bit code page.
std::string DecodeBody(std::string_view body, std::string_view charset);

// True for a page that opens with "<html>" somewhere but has no "</html>" (any case): a page cut
// short on its way. Looking at the bytes gives the same answer as looking at the decoded text:
// '<' is a single character in both UTF-8 and the code page, so a tag never hides inside a
// double-byte character.
bool IsIncompleteHtmlPage(std::string_view body);

// True when text is well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view text);

}  // namespace http
