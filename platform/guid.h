#pragma once
// New random GUIDs, from the system's own generator.

#include <array>
#include <optional>

namespace platform {

// The sixteen bytes in the order the GUID's text form reads them: the 32-bit part and the two 16-bit
// parts most significant byte first, then the eight bytes.
using GuidBytes = std::array<unsigned char, 16>;

// A new random GUID; nothing when none could be made (all zeros counts as none).
std::optional<GuidBytes> NewGuid();

}  // namespace platform
