#pragma once
// Reads the file version that the project's programs carry in an ELF note.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

using FileVersion = std::array<uint32_t, 4>;  // major, minor, build, revision

// The version note of the ELF file at path, or nothing when the file is missing, not ELF, or has
// no such note.
std::optional<FileVersion> ReadFileVersion(const std::string& path);

}  // namespace platform
