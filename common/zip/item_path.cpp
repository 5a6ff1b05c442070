#include "common/zip/item_path.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

namespace zip {

std::string WithSlashes(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

bool IsRooted(std::string_view path) { return !path.empty() && (path[0] == '/' || path[0] == '\\'); }

bool HasDriveLetter(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return false;
  const char c = path[0];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool ClimbsOut(std::string_view path) {
  if (path.find('\0') != std::string_view::npos) return true;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = path.size();
    if (path.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

bool IsContainedName(std::string_view name) { return !IsRooted(name) && !HasDriveLetter(name) && !ClimbsOut(name); }

bool MakeFolders(int baseFd, std::string_view folder) {
  std::string path(folder);
  for (std::size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    if (slash == 0) continue;
    path[slash] = '\0';
    ::mkdirat(baseFd, path.c_str(), 0777);
    path[slash] = '/';
  }
  if (path.empty()) return true;
  ::mkdirat(baseFd, path.c_str(), 0777);
  struct stat info {};
  return ::fstatat(baseFd, path.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace zip
