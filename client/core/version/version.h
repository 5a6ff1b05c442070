#pragma once
// Program versions: the four-part file version a program carries, and the comparison the update
// check uses.

#include <string>
#include <string_view>

// The file version of the program at path as "%d.%d.%d.%d"; empty when the file has none.
std::string GetFileVersionString(const std::string& path);

// The running program's own version, as GetFileVersionString.
std::string ProgramVersion();

// -1, 0 or 1 as a is older than, equal to or newer than b. Not part by part: every "." is removed
// and the remaining digits are read as one number (1.0.10.0 is 10100, newer than 1.1.0.0 = 1100;
// 1.0.2.5 equals 10.2.5), like a wide-string-to-long conversion: leading blanks and a sign are
// accepted, reading stops at the first non-digit, no digits give 0, and the value saturates at the
// 32-bit limits.
int CompareVersion(std::string_view a, std::string_view b);
