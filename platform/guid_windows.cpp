// CoCreateGuid, which needs no COM initialisation. Its three first parts are numbers in the
// machine's order; they are laid out most significant byte first, as the text form reads them.
#include <windows.h>
// After windows.h.
#include <objbase.h>

#include "platform/guid.h"

namespace platform {

std::optional<GuidBytes> NewGuid() {
  GUID id{};
  if (FAILED(CoCreateGuid(&id))) return std::nullopt;
  GuidBytes bytes{};
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(id.Data1 >> (24 - 8 * i));
  bytes[4] = static_cast<unsigned char>(id.Data2 >> 8);
  bytes[5] = static_cast<unsigned char>(id.Data2);
  bytes[6] = static_cast<unsigned char>(id.Data3 >> 8);
  bytes[7] = static_cast<unsigned char>(id.Data3);
  for (int i = 0; i < 8; ++i) bytes[8 + i] = id.Data4[i];
  for (unsigned char b : bytes) {
    if (b != 0) return bytes;
  }
  return std::nullopt;
}

}  // namespace platform
