// The running program found through /proc/self/exe; folders made with POSIX modes.
#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace platform {

size_t RootLength(std::string_view path) { return !path.empty() && path.front() == '/' ? 1 : 0; }

bool RemoveEmptyFolder(const std::string& path) { return rmdir(path.c_str()) == 0; }

std::string WithSeparators(std::string path) { return path; }

std::string ForPeople(std::string path) { return path; }

bool CanWriteIn(const std::string& path) { return IsFolder(path) && access(path.c_str(), W_OK) == 0; }

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExecutableFolder() {
  std::string path = ExecutablePath();
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  path.resize(slash == 0 ? 1 : slash);
  return path;
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool EnsureFolder(const std::string& path) {
  if (IsFolder(path)) return true;
  return !path.empty() && (::mkdir(path.c_str(), 0700) == 0 || IsFolder(path));
}

bool MakeFolderTree(const std::string& path, unsigned mode) {
  if (path.empty() || path.front() != '/') return false;
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string prefix = path.substr(0, slash);
    // A folder that exists is fine; whatever else stands in the way shows in the check at the end.
    if (!prefix.empty() && prefix.back() != '/') ::mkdir(prefix.c_str(), static_cast<mode_t>(mode));
    if (slash == std::string::npos) break;
  }
  return IsFolder(path);
}

}  // namespace platform
