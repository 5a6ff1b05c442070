// The shell's known folders (SHGetKnownFolderPath), which follow the user's own redirections:
//   HomeFolder    the profile folder (C:\Users\<name>);
//   DataHome      the per-user programs folder (%LOCALAPPDATA%\Programs), where an installation
//                 that needs no administrator goes;
//   ConfigHome    the roaming application data (%APPDATA%);
//   DesktopFolder the desktop.
#include <windows.h>
// After windows.h.
#include <knownfolders.h>
#include <shlobj.h>

#include "platform/known_folder_windows.h"
#include "platform/paths.h"
#include "platform/special_folders.h"
#include "platform/wide_text.h"

namespace platform {

std::string KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
  std::string folder = SUCCEEDED(result) && path ? NarrowPath(path) : std::string();
  CoTaskMemFree(path);  // also on failure, as the shell asks
  while (folder.size() > 3 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string HomeFolder() { return KnownFolder(FOLDERID_Profile); }

std::string DataHome() {
  std::string programs = KnownFolder(FOLDERID_UserProgramFiles);
  if (!programs.empty()) return programs;
  std::string local = KnownFolder(FOLDERID_LocalAppData);
  return local.empty() ? local : JoinPath(local, "Programs");
}

std::string ConfigHome() { return KnownFolder(FOLDERID_RoamingAppData); }

std::string DesktopFolder() { return KnownFolder(FOLDERID_Desktop); }

}  // namespace platform
