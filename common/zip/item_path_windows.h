#pragma once
// Opening beneath a held folder with Windows' own means, for the Windows files of the extractor.
// Each component is opened by NtCreateFile relative to the handle of the folder before it (the
// Windows counterpart of openat), with FILE_OPEN_REPARSE_POINT so that a symbolic link, junction
// or other reparse point is opened itself instead of followed, and then refused.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace zip {

// The Win32 handle under a descriptor of this module; INVALID_HANDLE_VALUE for an invalid one.
HANDLE HandleOf(int fd);

// A descriptor that owns handle from now on; invalid (errno EMFILE, the handle closed) when the C
// runtime has no descriptor left.
platform::UniqueFd Adopt(HANDLE handle);

// Opens name (one component, no separator, neither "." nor "..") in the folder open as at with
// access (FILE_READ_ATTRIBUTES and SYNCHRONIZE are added), share, an NtCreateFile disposition
// (FILE_OPEN, FILE_CREATE) and create options (FILE_DIRECTORY_FILE, FILE_NON_DIRECTORY_FILE).
// Invalid, errno set, when the open fails (ENOENT, EEXIST, ENOTDIR, EISDIR, EACCES, EINVAL, EIO)
// or what it opened is a reparse point (ELOOP).
platform::UniqueFd OpenInFolder(int at, const std::string& name, ACCESS_MASK access, ULONG share, ULONG disposition,
                                ULONG options);

// Opens path (relative, "/" separators, no "..") beneath the folder open as baseFd: each folder
// entered from the one before it, the last component opened as OpenInFolder does.
platform::UniqueFd OpenBeneath(int baseFd, std::string_view path, ACCESS_MASK access, ULONG share, ULONG disposition,
                               ULONG options);

}  // namespace zip
