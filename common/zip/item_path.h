#pragma once
// Rules for the paths an item may be written to, and the folders made on the way. Archives come
// from outside: a stored name must never lead out of the folder it is unpacked into, neither by its
// text nor through a symbolic link that stands somewhere on the way.

#include <sys/types.h>

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

// True when name stays inside the folder it is unpacked into: not rooted, no drive letter, no "..".
bool IsContainedName(std::string_view name);

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
// made there through folders, which keeps them for the next items. An absolute one lies beneath the folder its caller named (see ArchivePartOf, name being
// the item's stored name), which must exist. Nothing when that folder cannot be opened or made.
std::optional<TargetPlace> PlaceTarget(int baseFd, MadeFolders& folders, const std::string& target,
                                       std::string_view name);

// Opens path (relative, "/" separators, no "..") beneath the folder open as baseFd as openat would
// with flags and mode, but follows no symbolic link on any component, the last one included: one
// openat2 call where the kernel has it, otherwise component by component. Invalid (with errno set)
// when a component is a link or missing, or the open fails.
platform::UniqueFd OpenBeneath(int baseFd, std::string_view path, int flags, mode_t mode = 0);

// OpenBeneath the long way, for kernels without openat2: each folder opened from the one before it
// with O_NOFOLLOW | O_DIRECTORY, then the last component with O_NOFOLLOW.
platform::UniqueFd OpenBeneathByComponents(int baseFd, std::string_view path, int flags, mode_t mode = 0);

// The folder name inside the folder open as at, the name itself not followed if it is a link.
platform::UniqueFd EnterFolder(int at, const std::string& name);

// Creates folder (a relative path with "/" separators) below the folder open as baseFd, each parent
// first, without following a link on the way; folders that exist already are fine. True when
// folder exists as a folder afterwards, reached through folders only.
bool MakeFolders(int baseFd, std::string_view folder);

}  // namespace zip
