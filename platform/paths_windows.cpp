// The running program found through GetModuleFileNameW; folders made with CreateDirectoryW. Paths
// given back use "/" between their parts, which every Windows file call takes as well.
#include <windows.h>

#include <vector>

#include "platform/paths.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

size_t RootLength(std::string_view path) {
  if (path.size() >= 3 && path[1] == ':' && IsSeparator(path[2])) return 3;
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
    size_t server = path.find_first_of("/\\", 2);
    if (server == std::string::npos) return 0;
    size_t share = path.find_first_of("/\\", server + 1);
    return share == std::string::npos ? path.size() : share + 1;
  }
  return 0;
}

std::string ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return NarrowPath(std::wstring_view(buffer.data(), n));
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExecutableFolder() {
  std::string path = ExecutablePath();
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  path.resize(slash);
  return path;
}

bool IsFolder(const std::string& path) {
  if (path.empty()) return false;
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveEmptyFolder(const std::string& path) {
  return !path.empty() && RemoveDirectoryW(Widen(path).c_str()) != 0;
}

std::string WithSeparators(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::string ForPeople(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

bool CanWriteIn(const std::string& path) {
  if (path.empty()) return false;
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_READONLY);
}

bool EnsureFolder(const std::string& path) {
  if (IsFolder(path)) return true;
  return !path.empty() && (CreateDirectoryW(Widen(path).c_str(), nullptr) || IsFolder(path));
}

bool MakeFolderTree(const std::string& path, unsigned mode) {
  (void)mode;  // folders take the access of the folder they are made in
  size_t root = RootLength(path);
  if (root == 0) return false;
  for (size_t cut = path.find_first_of("/\\", root);; cut = path.find_first_of("/\\", cut + 1)) {
    std::string prefix = path.substr(0, cut);
    // A folder that exists is fine; whatever else stands in the way shows in the check at the end.
    if (prefix.size() > root && !IsSeparator(prefix.back())) CreateDirectoryW(Widen(prefix).c_str(), nullptr);
    if (cut == std::string::npos) break;
  }
  return IsFolder(path);
}

}  // namespace platform
