#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "bootstrap/work_folder.h"

std::string TemporaryFolder() {
  const char* variable = std::getenv("TMPDIR");
  std::string folder = variable ? variable : "";
  if (folder.empty() || folder.front() != '/' || folder.size() > kMaxTempFolderBytes) folder = "/tmp";
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string StartFolder() {
  char folder[PATH_MAX];
  return getcwd(folder, sizeof folder) ? folder : "/";
}

WorkFolderResult MakePrivateFolder(const std::string& path, bool& taken) {
  // mkdir never takes over what stands there, a link included.
  if (mkdir(path.c_str(), 0700) == 0) return WorkFolderResult::Made;
  taken = errno == EEXIST;
  return WorkFolderResult::NotMade;
}
