#include <sys/statvfs.h>

#include "installer/free_space.h"

std::optional<uint64_t> VolumeFreeSpace::FreeBytes(const std::string& folder) const {
  struct statvfs volume {};
  if (statvfs(folder.c_str(), &volume) != 0) return std::nullopt;
  return static_cast<uint64_t>(volume.f_bavail) * static_cast<uint64_t>(volume.f_frsize);
}
