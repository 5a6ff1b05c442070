#pragma once
// Desktop entry files (".desktop"): how the desktops of this platform start a program from the
// desktop, the applications menu or the session's autostart. Values are escaped as the format
// wants them, so any path can be carried except one with a line break or another control character.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct DesktopEntry {
  std::string name;                // the title the desktop shows
  std::string program;             // absolute path of the executable
  std::vector<std::string> args;   // its arguments
  std::string folder;              // the current folder it starts in; empty for none
  std::string icon;                // an icon's path or name; empty for none
  std::vector<std::string> extra;  // further "Key=value" lines, written as given
};

// One argument of an Exec line: quoted when it holds a character the format reserves, then escaped
// as a string value (so a backslash inside quotes becomes four) and with "%" doubled.
std::string DesktopExecArgument(std::string_view argument);

// The file's text; nothing when a value holds a control character, or name or program is empty.
std::optional<std::string> DesktopEntryText(const DesktopEntry& entry);

}  // namespace platform
