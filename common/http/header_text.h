#pragma once
// The searches the HTTP client runs over an answer's raw header block, and the shaping of a
// caller's extra header lines into the lines that go out with the request.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace http {

// Position of the first occurrence of needle in text at or after from, ASCII letters compared
// without case; npos when there is none.
size_t FindIgnoreCase(std::string_view text, std::string_view needle, size_t from = 0);

// The value of the first "charset=" (any case) that is followed by at least one letter, digit,
// '-' or '_', up to the first other character; nothing when the block has none.
std::optional<std::string> FindCharset(std::string_view headerBlock);

// The digits of the first "Content-Length: " (any case) that is followed by a digit, as a number
// (values beyond 32 bits stay at the 32-bit maximum); nothing when the block has none.
std::optional<uint32_t> FindContentLength(std::string_view headerBlock);

// The status code of a status line "HTTP/1.1 200 OK", or 0 when line is not one.
int StatusCodeOf(std::string_view statusLine);

struct HeaderLines {
  std::vector<std::string> lines;  // "Name: value" each, without line end
  bool malformed = false;          // a line without a name and a colon, or with a control byte, was left out
};

// Splits a block of header lines (CR LF or LF separated). A name that occurs again is merged into
// the line where it first appeared, the values joined with "; ", as the platform merges a header
// added twice. Empty lines are skipped; a line holding a control byte other than a tab (a bare CR,
// a NUL) is left out as malformed.
HeaderLines MergeHeaderLines(std::string_view block);

// True when one of lines carries the header name (any case).
bool HasHeader(const std::vector<std::string>& lines, std::string_view name);

}  // namespace http
