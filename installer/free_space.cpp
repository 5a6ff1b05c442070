#include "installer/free_space.h"

#include <sys/statvfs.h>

#include "installer/folder_text.h"
#include "platform/number_text.h"
#include "platform/paths.h"

std::optional<uint64_t> VolumeFreeSpace::FreeBytes(const std::string& folder) const {
  struct statvfs volume {};
  if (statvfs(folder.c_str(), &volume) != 0) return std::nullopt;
  return static_cast<uint64_t>(volume.f_bavail) * static_cast<uint64_t>(volume.f_frsize);
}

std::string NearestExistingFolder(const std::string& folderText) {
  std::optional<std::string> folder = FolderFromText(folderText);
  if (!folder) return {};
  std::string path = *folder;
  while (!platform::IsFolder(path)) {
    if (path == "/") return {};
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    size_t slash = path.rfind('/');
    path.resize(slash == 0 ? 1 : slash);
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
