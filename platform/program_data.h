#pragma once
// Where a program keeps the files it writes (settings, accounts, pictures). An installation in the
// user's own folder keeps them beside the program, as it always has; a program the system's package
// manager put in place cannot write there, so its files go to the user's data folder instead.

#include <string>
#include <string_view>

namespace platform {

// True when the running user may make and replace files in folder. A folder under /usr never is:
// the package manager owns it, whoever runs the program.
bool MayWriteBeside(const std::string& folder);

// programFolder when MayWriteBeside(programFolder); else DataHome()/name, made (readable by the
// user alone) when missing. Empty when neither is to be had (no home to build the second from).
std::string ProgramDataFolder(const std::string& programFolder, std::string_view name);

}  // namespace platform
