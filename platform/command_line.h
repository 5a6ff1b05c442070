#pragma once
// The command line of a Windows program is one string that the started program splits into its
// arguments again (CommandLineToArgvW, the C runtime). Quoting each argument the way that split
// undoes is what lets a path with blanks or quotes reach the program as one argument.

#include <string>
#include <string_view>

namespace platform {

// argument as it must stand in a command line to come back unchanged: as it is when it holds no
// blank, tab or quote and is not empty; else in double quotes, with each quote escaped and each
// run of backslashes doubled where it comes before a quote or the closing quote.
std::string CommandLineArgument(std::string_view argument);

}  // namespace platform
