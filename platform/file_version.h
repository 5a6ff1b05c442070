#pragma once
// Reads the file version that the project's programs and libraries carry, from any such file by path.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

using FileVersion = std::array<uint32_t, 4>;  // major, minor, build, revision

// The version the file at path carries, or nothing when the file is missing, not a program or
// library of the platform's format, or carries none.
std::optional<FileVersion> ReadFileVersion(const std::string& path);

}  // namespace platform
