// The archive through a Win32 handle opened for reading, shared for reading only; each read names
// its position in the call, as pread does.
#include <windows.h>

#include <cstdint>

#include "common/zip/archive_file.h"
#include "common/zip/item_path_windows.h"
#include "platform/wide_text.h"

namespace zip {

ZipResult ArchiveFile::Open(const std::string& path, std::optional<ArchiveFile>& file) {
  file.reset();
  // Folders open too (backup semantics), so that they are refused as no archive, as on Linux.
  HANDLE handle = CreateFileW(platform::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return ZipResult::kOpenFailed;
  platform::UniqueFd fd = Adopt(handle);
  if (!fd) return ZipResult::kOpenFailed;
  BY_HANDLE_FILE_INFORMATION info{};
  // Pipes and devices cannot be searched from their end.
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return ZipResult::kReadError;
  }
  const std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  file.emplace(ArchiveFile(std::move(fd), size));
  return ZipResult::kOk;
}

bool ArchiveFile::ReadFromFile(std::uint64_t position, unsigned char* out, std::size_t size) const {
  if (position > size_ || size > size_ - position) return false;
  const HANDLE handle = HandleOf(fd_.get());
  while (size > 0) {
    const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(position & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(position >> 32);
    DWORD got = 0;
    if (!ReadFile(handle, out, want, &got, &at) || got == 0) return false;
    out += got;
    size -= got;
    position += got;
  }
  return true;
}

}  // namespace zip
