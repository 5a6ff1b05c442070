// Whether a folder takes the user's files is asked of the system itself: a file is made there and
// deleted again, which answers for the folder's access list, a read-only medium and a folder
// redirected elsewhere alike. The system's program folders never count, whoever runs the program:
// an administrator could write there, and the files would then be out of reach of the same user
// running the program later without elevation.
#include <windows.h>
// After windows.h.
#include <knownfolders.h>

#include "platform/known_folder_windows.h"
#include "platform/paths.h"
#include "platform/program_data.h"
#include "platform/special_folders.h"
#include "platform/text.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

bool IsAbsolute(const std::string& folder) {
  bool drive = folder.size() >= 3 && folder[1] == ':' && (folder[2] == '/' || folder[2] == '\\');
  bool share = folder.size() >= 2 && (folder[0] == '/' || folder[0] == '\\') && (folder[1] == '/' || folder[1] == '\\');
  return drive || share;
}

// folder compared with "\" and "/" alike and letters without case, as the file system does.
bool IsAtOrBelow(std::string folder, const std::string& root) {
  if (root.empty()) return false;
  for (char& c : folder) c = c == '\\' ? '/' : c;
  if (folder.size() < root.size() || !EqualsIgnoringAsciiCase(folder.substr(0, root.size()), root)) return false;
  return folder.size() == root.size() || folder[root.size()] == '/';
}

bool TakesNewFiles(const std::string& folder) {
  std::wstring probe = Widen(JoinPath(folder, ".vymera-write-test"));
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;  // one left by a crash
  CloseHandle(file);
  return true;
}

}  // namespace

bool MayWriteBeside(const std::string& folder) {
  if (!IsAbsolute(folder)) return false;
  for (const KNOWNFOLDERID* system : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_Windows}) {
    if (IsAtOrBelow(folder, KnownFolder(*system))) return false;
  }
  return IsFolder(folder) && TakesNewFiles(folder);
}

std::string ProgramDataFolder(const std::string& programFolder, std::string_view name) {
  if (MayWriteBeside(programFolder)) return programFolder;
  std::string data = DataHome();
  if (data.empty()) return {};
  std::string folder = JoinPath(data, name);
  // Made below the user's own application data, it inherits that folder's access: the user's
  // alone. A folder that cannot be made shows as failed writes of the files later, each with its path.
  MakeFolderTree(folder);
  return folder;
}

}  // namespace platform
