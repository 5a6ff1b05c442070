// Windows has no folder-relative calls for these steps: each item is reached by its full path, and
// a link is any reparse point (a symbolic link or a junction), which is removed itself, never what
// it points at.
#include <windows.h>

#include "common/zip/item_path.h"
#include "installer/skin_folder.h"
#include "platform/paths.h"
#include "platform/wide_text.h"

namespace {

DWORD AttributesOf(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

bool IsLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsFile(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

// A link to a folder is removed as a folder, one to a file as a file; neither touches its target.
void RemoveLink(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    RemoveDirectoryW(path.c_str());
  } else {
    DeleteFileW(path.c_str());
  }
}

}  // namespace

SkinFolder::SkinFolder(std::string path) : path_(std::move(path)) {
  std::wstring wide = platform::Widen(path_);
  DWORD attributes = AttributesOf(wide);
  if (IsLink(attributes)) RemoveLink(wide, attributes);
  if (!platform::MakeFolderTree(path_)) return;
  fd_ = zip::OpenFolder(path_);
}

void SkinFolder::RemoveLinksOnTheWay(const std::string& name) const {
  for (size_t end = name.find('/');; end = name.find('/', end + 1)) {
    std::wstring part = platform::Widen(platform::JoinPath(path_, name.substr(0, end)));
    DWORD attributes = AttributesOf(part);
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (IsLink(attributes)) RemoveLink(part, attributes);
    if (end == std::string::npos) return;
  }
}

void SkinFolder::MakeWritable(const std::string& name) const {
  std::wstring path = platform::Widen(platform::JoinPath(path_, name));
  DWORD attributes = AttributesOf(path);
  if (IsFile(attributes) && (attributes & FILE_ATTRIBUTE_READONLY)) {
    SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
}

void SkinFolder::RemoveFile(const std::string& name) const {
  std::wstring path = platform::Widen(platform::JoinPath(path_, name));
  if (IsFile(AttributesOf(path))) DeleteFileW(path.c_str());
}
