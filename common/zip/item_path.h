#pragma once
// Rules for the paths an item may be written to, and the folders made on the way. Archives come
// from outside: a stored name must never lead out of the folder it is unpacked into, neither by its
// text nor through a symbolic link (or, on Windows, a junction) that stands somewhere on the way.
//
// Folders are held open as descriptors (on Windows, C runtime descriptors over the folder's handle)
// and each step below one is taken from the one before it, so that nothing renamed or linked
// meanwhile can lead elsewhere. Failures leave errno set as the POSIX calls would.

#include <optional>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

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

// True when a component of path (split at "/" and "\") is one Windows takes for something other
// than a plain file of that name: a device name with or without an extension ("CON", "aux.txt",
// "COM1", "lpt9.log"), a name ending in a dot or a space (which Windows drops, so "a." would be "a"),
// or a name holding ":" (a drive letter, or an alternate data stream "name:stream"). Refused on every
// platform, so that an archive unpacks alike wherever it is unpacked. "." names no step and passes.
bool HasSpecialName(std::string_view path);

// True when name stays inside the folder it is unpacked into and means the same on every platform:
// not rooted, no drive letter, no "..", no special name.
bool IsContainedName(std::string_view name);

// True when target (with "/" separators) names its place from the root of the file system: "/..." on
// Linux; on Windows also "C:/..." (a drive letter alone, "C:name", is relative to that drive's
// current folder and is no absolute target).
bool IsAbsoluteTarget(std::string_view target);

// Where an absolute target (with "/" separators) splits into the folder its caller named and the
// part below it that came from the archive: when the target ends in "/" + name, the position of
// name; otherwise the position after the target's last "/", so that only the file's own name is
// taken as the archive's.
std::size_t ArchivePartOf(std::string_view target, std::string_view name);

// Where a target (with "/" separators, not climbing out) is opened: the folder it is resolved
// beneath without following links, and the path below that folder.
struct TargetPlace {
  platform::UniqueFd callerFolder;  // held while folder refers to it
  int folder = -1;
  std::string below;
};

class MadeFolders;

// A relative target lies wholly beneath the base folder open as baseFd, and its missing folders are
// made there through folders, which keeps them for the next items. An absolute one lies beneath the
// folder its caller named (see ArchivePartOf, name being the item's stored name), which must exist.
// Nothing when that folder cannot be opened or made, or when the part below it holds a special name
// (HasSpecialName): that is refused before anything is made.
std::optional<TargetPlace> PlaceTarget(int baseFd, MadeFolders& folders, const std::string& target,
                                       std::string_view name);

// The folder at path, which may be reached through links: the caller's own choice, not an archive's.
platform::UniqueFd OpenFolder(const std::string& path);

// The folder name (one component) inside the folder open as at, the name itself not followed if it
// is a link or another reparse point: those are refused (ELOOP), as is what is no folder (ENOTDIR).
platform::UniqueFd EnterFolder(int at, const std::string& name);

// Makes the folder name (one component) inside the folder open as at. False with errno EEXIST when
// something has that name already, which is not followed.
bool MakeFolderAt(int at, const std::string& name);

// The folder that holds the last component of path (relative, "/" separators, no ".."), entered
// from the folder open as baseFd one component at a time (EnterFolder), and that last component.
struct LastStep {
  platform::UniqueFd entered;  // held while folder refers to it
  int folder = -1;
  std::string name;
};

// Nothing (errno set) when path names no component or a folder on the way cannot be entered.
std::optional<LastStep> EnterFoldersOf(int baseFd, std::string_view path);

// Creates folder (a relative path with "/" separators) below the folder open as baseFd, each parent
// first, without following a link on the way; folders that exist already are fine. True when
// folder exists as a folder afterwards, reached through folders only.
bool MakeFolders(int baseFd, std::string_view folder);

}  // namespace zip
