#pragma once
// The shell's known folders for the Windows files of the facilities that need more of them than
// special_folders.h names (the start menu, the quick-launch bar).

#include <windows.h>
// After windows.h.
#include <shtypes.h>

#include <string>

namespace platform {

// The folder in the programs' form ("C:/Users/..."), without a trailing separator; empty when the
// shell does not know it.
std::string KnownFolder(const KNOWNFOLDERID& id);

}  // namespace platform
