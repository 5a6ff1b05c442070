#pragma once
// The free-space line of the folder page: what the volume of the typed folder still holds. A folder
// that does not exist yet is measured on the volume of its nearest existing parent, since that is
// where it will be made.

#include <cstdint>
#include <optional>
#include <string>

class FreeSpaceSource {
 public:
  virtual ~FreeSpaceSource() = default;
  // Bytes free for the user on the volume that holds folder; nothing when it cannot be asked.
  virtual std::optional<uint64_t> FreeBytes(const std::string& folder) const = 0;
};

// The system's answer (statvfs on Linux, GetDiskFreeSpaceExW on Windows): the space available to
// the user, less what is kept for the superuser or beyond the user's quota.
class VolumeFreeSpace : public FreeSpaceSource {
 public:
  std::optional<uint64_t> FreeBytes(const std::string& folder) const override;
};

// The folder itself when it exists, else its nearest existing parent folder; empty when the text
// names no absolute folder.
std::string NearestExistingFolder(const std::string& folderText);

// "所需空间： 3.5M   可用空间：" + gigabytes as "%.1fG", or the failure text when there is no folder to
// measure or its volume cannot be asked.
std::string FreeSpaceLine(const std::string& folderText, const FreeSpaceSource& source);
