#include "installer/free_space.h"

#include <algorithm>

#include "installer/folder_text.h"
#include "platform/number_text.h"
#include "platform/paths.h"

std::string NearestExistingFolder(const std::string& folderText) {
  std::optional<std::string> folder = FolderFromText(folderText);
  if (!folder) return {};
  std::string path = *folder;
  // The root ("/", "C:/", "//server/share/") is as far up as the search goes.
  const size_t root = platform::RootLength(path);
  while (!platform::IsFolder(path)) {
    if (path.size() <= root) return {};
    while (path.size() > root && path.back() == '/') path.pop_back();
    size_t slash = path.rfind('/');
    path.resize(slash == std::string::npos ? root : std::max(slash, root));
  }
  return path;
}

std::string FreeSpaceLine(const std::string& folderText, const FreeSpaceSource& source) {
  std::string value = "无法获取可用空间，请您检查路径！";
  std::string folder = NearestExistingFolder(folderText);
  std::optional<uint64_t> bytes = folder.empty() ? std::nullopt : source.FreeBytes(folder);
  if (bytes) {
    // Kilobytes as an integer, then single precision down to gigabytes.
    float gigabytes = static_cast<float>(*bytes / 1024);
    gigabytes = gigabytes / 1024.0f / 1024.0f;
    value = platform::FixedText(static_cast<double>(gigabytes), 1) + "G";
  }
  return "所需空间： 3.5M   可用空间：" + value;
}
