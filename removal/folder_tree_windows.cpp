// The tree walked by full paths with FindFirstFileW. A reparse point (a symbolic link or a junction)
// inside the tree is removed itself, as a link is on Linux; what it points at stays.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/wide_text.h"
#include "removal/folder_tree.h"

namespace {

struct Entry {
  std::string name;
  DWORD attributes;
};

bool IsRealFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The folder's entries other than "." and "..", read before anything is removed.
bool ListFolder(const std::string& path, std::vector<Entry>& entries) {
  WIN32_FIND_DATAW found{};
  HANDLE find = FindFirstFileW(platform::Widen(platform::JoinPath(path, "*")).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    std::string name = platform::Narrow(found.cFileName);
    if (name != "." && name != "..") entries.push_back({std::move(name), found.dwFileAttributes});
  } while (FindNextFileW(find, &found));
  bool whole = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(find);
  return whole;
}

// Removes a file or a link, a read-only one too.
bool RemoveNonFolder(const std::string& path, DWORD attributes) {
  std::wstring wide = platform::Widen(path);
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesW(wide.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return RemoveDirectoryW(wide.c_str()) != 0;
  return platform::RemoveFile(path);
}

bool EmptyFolder(const std::string& path, int depth) {
  if (depth > kMaxFolderDepth) return false;
  std::vector<Entry> entries;
  if (!ListFolder(path, entries)) return false;
  for (const Entry& entry : entries) {
    std::string inner = platform::JoinPath(path, entry.name);
    if (IsRealFolder(entry.attributes)) {
      if (entry.name.front() == '.') continue;
      if (!EmptyFolder(inner, depth + 1) || !RemoveDirectoryW(platform::Widen(inner).c_str())) return false;
    } else if (!RemoveNonFolder(inner, entry.attributes)) {
      return false;
    }
  }
  return true;
}

DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(platform::Widen(path).c_str()); }

}  // namespace

bool RemoveFolderTree(const std::string& path) {
  if (path.empty()) return false;
  DWORD attributes = AttributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !IsRealFolder(attributes)) return false;
  // A read-only folder keeps nothing from going on Windows, but cannot itself be removed.
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesW(platform::Widen(path).c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  return EmptyFolder(path, 0) && platform::RemoveEmptyFolder(path);
}

bool RemoveEntry(const std::string& path) {
  if (path.empty()) return false;
  DWORD attributes = AttributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return !platform::PathExists(path);
  if (IsRealFolder(attributes)) return RemoveFolderTree(path);
  return RemoveNonFolder(path, attributes);
}
