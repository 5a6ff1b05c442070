#pragma once
// Rules for the paths an item may be written to, and the folders made on the way. Archives come
// from outside: a stored name must never lead out of the folder it is unpacked into.

#include <string>
#include <string_view>

namespace zip {

// The path with every "\" turned into "/": both separate folders in archive names and targets.
std::string WithSlashes(std::string_view path);

// True when path starts at the root ("/" or "\").
bool IsRooted(std::string_view path);

// True when path starts with a drive letter ("C:").
bool HasDriveLetter(std::string_view path);

// True when a component of path (split at "/" and "\") is "..", or path holds a NUL byte (which
// would end the path early on its way to the system).
bool ClimbsOut(std::string_view path);

// True when name stays inside the folder it is unpacked into: not rooted, no drive letter, no "..".
bool IsContainedName(std::string_view name);

// Creates folder (a relative path with "/" separators) below the folder open as baseFd, each parent
// first; folders that exist already are fine. True when folder exists as a folder afterwards.
bool MakeFolders(int baseFd, std::string_view folder);

}  // namespace zip
