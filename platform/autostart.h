#pragma once
// The entry that starts a program with the user's desktop session, one per name, kept where the
// platform's session looks for such entries.

#include <string>
#include <string_view>

namespace platform {

// Full path of the entry for name; empty when the user's folders are unknown.
std::string AutostartEntryPath(std::string_view name);

// Writes the entry so that the session runs program with one argument; creates the folder when
// missing. True when the file was written.
bool WriteAutostartEntry(std::string_view name, std::string_view program, std::string_view argument);

// True when the entry of name is there, whatever it starts.
bool HasAutostartEntry(std::string_view name);

// True when the entry of name starts program (with whatever argument): the entry is then that
// program's to remove.
bool AutostartEntryStarts(std::string_view name, std::string_view program);

// Removes the entry. True when it is gone afterwards, also when there was none; false when the
// folder of entries is unknown or the file cannot be removed.
bool RemoveAutostartEntry(std::string_view name);

}  // namespace platform
