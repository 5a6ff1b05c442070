#pragma once
// Where the running program lives, and small path helpers. Paths are joined with "/", which the
// file functions of every platform of the family take.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Full path of the running executable; empty when it cannot be found.
std::string ExecutablePath();

// ExecutablePath cut at its last separator, without a trailing separator.
std::string ExecutableFolder();

// True when path exists and is a directory (a symbolic link to one counts).
bool IsFolder(const std::string& path);

// Makes the folder (not its parents) when it is missing, readable by its owner only; true when a
// folder stands there afterwards.
bool EnsureFolder(const std::string& path);

// Makes the folder and every missing folder above it with the POSIX-style mode (less the umask;
// platforms without such modes give the user's default access); true when a
// folder stands there afterwards. An absolute path is needed: a relative one would land wherever
// the program happens to run.
bool MakeFolderTree(const std::string& path, unsigned mode = 0755);

// The length of path's root: 1 for "/" on Linux; "C:/" (3) or "//server/share/" (to the share's
// end) on Windows, where a path starting with a single "/" is relative to the current drive. 0 when
// the path is not absolute.
size_t RootLength(std::string_view path);

// True when path names the same place wherever the program runs.
inline bool IsAbsolutePath(std::string_view path) { return RootLength(path) != 0; }

// Removes the folder at path when it is empty; true when it was removed.
bool RemoveEmptyFolder(const std::string& path);

// True when the program may make files in the folder at path (the system's own check of the user's
// rights where it has one; on Windows a folder that is not read-only).
bool CanWriteIn(const std::string& path);

// path with the separators the family's paths use: "/" on Linux, where "\\" belongs to a name; on
// Windows each "\\" typed or given by the system turned into "/".
std::string WithSeparators(std::string path);

// path as the system shows paths to people: on Windows with "\\" between the steps, as its own
// dialogs and Explorer write them; here as it is.
std::string ForPeople(std::string path);

// folder + "/" + name, without doubling a separator that folder already ends with.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace platform
