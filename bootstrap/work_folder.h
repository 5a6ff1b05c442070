#pragma once
// The fresh folder Bootwyn writes the installer into: the user's temporary folder plus a new GUID,
// made for the user alone. A name that already exists is never used, so nothing another user put
// under the temporary folder is written into or started.

#include <optional>
#include <string>
#include <string_view>

#include "platform/guid.h"

using platform::GuidBytes;
using platform::NewGuid;

// "{XXXXXXXX-XXXX-xxxx-XXXX-XXXXXXXXXXXX}": the 32-bit part, the two 16-bit parts (the second in
// lower case) and the eight bytes, in the order the GUID's text form reads them.
std::string GuidFolderName(const GuidBytes& guid);

// True when name has the form GuidFolderName gives.
bool IsGuidFolderName(std::string_view name);

// $TMPDIR when it is an absolute path of at most kMaxTempFolderBytes, else /tmp; on Windows the
// user's temporary folder (GetTempPathW: %TMP%, %TEMP%, then the profile's own). No trailing "/".
std::string TemporaryFolder();
inline constexpr size_t kMaxTempFolderBytes = 1024;

enum class WorkFolderResult { Made, NoGuid, NotMade };

struct WorkFolder {
  WorkFolderResult result;
  std::string path;  // when Made
};

// Makes temporary + "/" + a new GUID's name, readable by its owner only. A name already taken is
// given up for another GUID, a few times.
WorkFolder MakeWorkFolder(const std::string& temporary);

// The folder Setup starts in: Bootwyn's own current folder, or the root ("/", the system drive's on
// Windows) when that has gone.
std::string StartFolder();

// Makes the folder at path for its owner alone, never taking over what already has the name:
// Made, or NotMade with taken set when something has.
WorkFolderResult MakePrivateFolder(const std::string& path, bool& taken);
