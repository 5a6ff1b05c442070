// The target through NtCreateFile beneath the held folder: created new, or an existing regular file
// opened without following a reparse point and emptied. Its attributes and its three times are set
// in one call at the end.
#include <windows.h>
// After windows.h.
#include <winternl.h>

#include <cerrno>
#include <cstdint>

#include "common/zip/item_path_windows.h"
#include "common/zip/target_file.h"

namespace zip {
namespace {

constexpr ACCESS_MASK kTargetAccess = FILE_WRITE_DATA | FILE_WRITE_ATTRIBUTES;

// Seconds since 1970 as a file time (100 ns steps since 1601); 0, which leaves the time as it is,
// for a time before 1601.
LARGE_INTEGER FileTimeOf(ZipFileTime seconds) {
  constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
  constexpr std::int64_t kTicksPerSecond = 10000000;
  LARGE_INTEGER time{};
  if (seconds >= -kSecondsFrom1601To1970 && seconds < INT64_MAX / kTicksPerSecond - kSecondsFrom1601To1970) {
    time.QuadPart = (seconds + kSecondsFrom1601To1970) * kTicksPerSecond;
  }
  return time;
}

}  // namespace

std::optional<TargetFile> TargetFile::Create(int baseFd, const std::string& path, bool readOnly) {
  // Shared with no one while it is written.
  platform::UniqueFd fd = OpenBeneath(baseFd, path, kTargetAccess, 0, FILE_CREATE, FILE_NON_DIRECTORY_FILE);
  bool existed = false;
  if (!fd && errno == EEXIST) {
    // Opened as it stands and emptied only once it is known to be a plain file that may be written:
    // a reparse point in its place is refused before anything of it changes, and so is a read-only
    // file, also where the system would let its owner write it (Wine run by root).
    fd = OpenBeneath(baseFd, path, kTargetAccess, 0, FILE_OPEN, FILE_NON_DIRECTORY_FILE);
    existed = true;
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_END_OF_FILE_INFO end{};
    if (fd &&
        (GetFileType(HandleOf(fd.get())) != FILE_TYPE_DISK || !GetFileInformationByHandle(HandleOf(fd.get()), &info) ||
         (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ||
         !SetFileInformationByHandle(HandleOf(fd.get()), FileEndOfFileInfo, &end, sizeof end))) {
      errno = EACCES;
      return std::nullopt;
    }
  }
  if (!fd) return std::nullopt;
  return TargetFile(std::move(fd), existed, readOnly);
}

bool TargetFile::Write(const unsigned char* bytes, std::size_t size) {
  const HANDLE handle = HandleOf(fd_.get());
  while (size > 0) {
    const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(handle, bytes, want, &written, nullptr) || written == 0) return false;
    bytes += written;
    size -= written;
  }
  return true;
}

bool TargetFile::Finish(const ZipItem& item) {
  // The item's own attributes, as the archive's maker gave them; a file with none is a normal one.
  constexpr std::uint32_t kKept =
      zip_attribute::kReadOnly | zip_attribute::kHidden | zip_attribute::kSystem | zip_attribute::kArchive;
  FILE_BASIC_INFO basic{};
  basic.CreationTime = FileTimeOf(item.creationTime);
  basic.LastAccessTime = FileTimeOf(item.accessTime);
  basic.LastWriteTime = FileTimeOf(item.modificationTime);
  const DWORD attributes = item.attributes & kKept;
  basic.FileAttributes = attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
  if (readOnly_) basic.FileAttributes |= FILE_ATTRIBUTE_READONLY;
  const bool ok = SetFileInformationByHandle(HandleOf(fd_.get()), FileBasicInfo, &basic, sizeof basic) != 0;
  return fd_.Close() && ok;
}

}  // namespace zip
