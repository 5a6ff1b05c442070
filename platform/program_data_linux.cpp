#include "platform/program_data.h"

#include <unistd.h>

#include "platform/paths.h"
#include "platform/special_folders.h"

namespace platform {

bool MayWriteBeside(const std::string& folder) {
  if (folder.empty() || folder.front() != '/') return false;
  if (folder == "/usr" || folder.starts_with("/usr/")) return false;
  return IsFolder(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string ProgramDataFolder(const std::string& programFolder, std::string_view name) {
  if (MayWriteBeside(programFolder)) return programFolder;
  std::string data = DataHome();
  if (data.empty()) return {};
  std::string folder = JoinPath(data, name);
  // A folder that cannot be made shows as failed writes of the files later, each with its path.
  MakeFolderTree(folder, 0700);
  return folder;
}

}  // namespace platform
