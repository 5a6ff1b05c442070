#include <windows.h>

#include "installer/free_space.h"
#include "platform/wide_text.h"

std::optional<uint64_t> VolumeFreeSpace::FreeBytes(const std::string& folder) const {
  // What the user may still fill: a quota on the volume counts, as the superuser's reserve does on
  // Linux.
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExW(platform::Widen(folder).c_str(), &available, nullptr, nullptr)) return std::nullopt;
  return available.QuadPart;
}
