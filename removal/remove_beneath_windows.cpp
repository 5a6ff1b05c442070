// Windows has no folder-relative removal: each folder on the way is looked at by its full path and
// must be a real folder, not a reparse point (a symbolic link or a junction). A file is removed even
// when an earlier unpacking left it read-only, as it would be on Linux; a running program's file
// is not, which the removal takes for a running client.
#include <windows.h>

#include "platform/paths.h"
#include "platform/wide_text.h"
#include "removal/remove_beneath.h"

namespace {

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

Gone FromLastError() { return IsMissing(GetLastError()) ? Gone::Missing : Gone::Failed; }

bool IsRealFolder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

Gone RemoveFileAt(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  if (DeleteFileW(path.c_str())) return Gone::Removed;
  Gone gone = FromLastError();
  // What stays keeps what it was.
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes);
  return gone;
}

}  // namespace

Gone RemoveBeneath(const std::string& root, const std::string& relative, bool folder) {
  DWORD attributes = GetFileAttributesW(platform::Widen(root).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FromLastError();
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return Gone::Failed;
  for (size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', slash + 1)) {
    attributes = GetFileAttributesW(platform::Widen(platform::JoinPath(root, relative.substr(0, slash))).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return FromLastError();
    if (!IsRealFolder(attributes)) return Gone::Failed;
  }
  std::wstring path = platform::Widen(platform::JoinPath(root, relative));
  attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FromLastError();
  if (IsRealFolder(attributes) != folder) return Gone::Failed;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    // A real folder when one was recorded, or a link to a folder where a file was: the link goes,
    // never what it points at.
    return RemoveDirectoryW(path.c_str()) ? Gone::Removed : FromLastError();
  }
  return RemoveFileAt(path, attributes);
}

Gone RemoveRule(const std::string& path) {
  std::wstring wide = platform::Widen(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return FromLastError();
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Gone::Failed;
  return RemoveFileAt(wide, attributes);
}
