#pragma once
// The user's folders as the desktop names them (XDG base directories and user directories): where
// per-user programs, menu entries, settings and the desktop's icons live. Each is an absolute path
// without a trailing separator, or empty when the environment gives no home to build it from.

#include <string>

namespace platform {

// $HOME when it is an absolute path.
std::string HomeFolder();
// $XDG_DATA_HOME when absolute, else ~/.local/share.
std::string DataHome();
// $XDG_CONFIG_HOME when absolute, else ~/.config.
std::string ConfigHome();
// The folder the user's desktop shows as icons: XDG_DESKTOP_DIR of user-dirs.dirs in the config
// folder (what xdg-user-dir DESKTOP reads), else the variable of that name, else ~/Desktop.
std::string DesktopFolder();

}  // namespace platform
