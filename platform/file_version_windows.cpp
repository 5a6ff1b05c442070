// The version is the fixed part of the file's version resource (VS_FIXEDFILEINFO), read with
// GetFileVersionInfoW and VerQueryValueW: what version_note_windows.rc puts in every program and
// library of the project, and what Explorer shows.
#include <windows.h>

#include <vector>

#include "platform/file_version.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

// Version resources are a few kilobytes; a larger one is not taken in whole.
constexpr DWORD kMaxResourceBytes = 1 << 20;

}  // namespace

std::optional<FileVersion> ReadFileVersion(const std::string& path) {
  if (path.empty()) return std::nullopt;
  std::wstring file = Widen(path);
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0 || size > kMaxResourceBytes) return std::nullopt;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return std::nullopt;
  void* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", &fixed, &length) || length < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  if (info->dwSignature != 0xFEEF04BD) return std::nullopt;
  return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                     LOWORD(info->dwFileVersionLS)};
}

}  // namespace platform
