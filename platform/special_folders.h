#pragma once
// The user's folders as the desktop names them: where per-user programs, menu entries, settings
// and the desktop's icons live. Each is an absolute path without a trailing separator, or empty
// when the environment gives no home to build it from.

#include <string>

namespace platform {

// The user's home folder.
std::string HomeFolder();
// Where per-user programs and their data are installed.
std::string DataHome();
// Where per-user settings live.
std::string ConfigHome();
// The folder the user's desktop shows as icons.
std::string DesktopFolder();

}  // namespace platform
