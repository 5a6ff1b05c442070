// Every step below a held folder is one NtCreateFile call relative to that folder's handle. The
// handles travel as C runtime descriptors, so the portable code holds them as it does on Linux.
#include "common/zip/item_path_windows.h"

#include <windows.h>
// After windows.h.
#include <fcntl.h>
#include <io.h>
#include <winternl.h>

#include <cerrno>
#include <cstdint>

#include "common/zip/item_path.h"
#include "platform/wide_text.h"

namespace zip {
namespace {

// NTSTATUS values of the failures told apart (winternl.h leaves them to ntstatus.h, which clashes
// with windows.h).
constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);
constexpr NTSTATUS kPathNotFound = static_cast<NTSTATUS>(0xC000003A);
constexpr NTSTATUS kDeletePending = static_cast<NTSTATUS>(0xC0000056);
constexpr NTSTATUS kFileIsADirectory = static_cast<NTSTATUS>(0xC00000BA);
constexpr NTSTATUS kNotADirectory = static_cast<NTSTATUS>(0xC0000103);
constexpr NTSTATUS kAccessDenied = static_cast<NTSTATUS>(0xC0000022);
constexpr NTSTATUS kNameInvalid = static_cast<NTSTATUS>(0xC0000033);

int ErrnoOf(NTSTATUS status) {
  switch (status) {
    case kNameNotFound:
    case kPathNotFound:
    // A folder removed while a handle to it is still held lingers until that handle closes: for
    // the caller it is gone, and is made again.
    case kDeletePending:
      return ENOENT;
    case kNameCollision:
      return EEXIST;
    case kFileIsADirectory:
      return EISDIR;
    case kNotADirectory:
      return ENOTDIR;
    case kAccessDenied:
      return EACCES;
    case kNameInvalid:
      return EINVAL;
    default:
      return EIO;
  }
}

bool IsReparsePoint(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info{};
  // Unknown is taken as the worst case.
  return !GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

constexpr ACCESS_MASK kFolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE;
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

HANDLE HandleOf(int fd) { return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

platform::UniqueFd Adopt(HANDLE handle) {
  const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) {
    CloseHandle(handle);
    errno = EMFILE;
  }
  return platform::UniqueFd(fd);
}

platform::UniqueFd OpenInFolder(int at, const std::string& name, ACCESS_MASK access, ULONG share, ULONG disposition,
                                ULONG options) {
  // One component only: the system would take a separator or a dot step as a way elsewhere.
  if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\") != std::string::npos) {
    errno = EINVAL;
    return {};
  }
  const std::wstring wide = platform::Widen(name);
  if (wide.size() * sizeof(wchar_t) > 0xFFFE) {
    errno = ENAMETOOLONG;
    return {};
  }
  UNICODE_STRING text;
  text.Buffer = const_cast<wchar_t*>(wide.c_str());
  text.Length = static_cast<USHORT>(wide.size() * sizeof(wchar_t));
  text.MaximumLength = text.Length;
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, HandleOf(at), nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE handle = nullptr;
  const NTSTATUS status =
      NtCreateFile(&handle, access | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &object, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
                   share, disposition, options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (status < 0) {
    errno = ErrnoOf(status);
    return {};
  }
  if (IsReparsePoint(handle)) {
    CloseHandle(handle);
    errno = ELOOP;
    return {};
  }
  return Adopt(handle);
}

platform::UniqueFd OpenBeneath(int baseFd, std::string_view path, ACCESS_MASK access, ULONG share, ULONG disposition,
                               ULONG options) {
  const std::optional<LastStep> last = EnterFoldersOf(baseFd, path);
  if (!last) return {};
  return OpenInFolder(last->folder, last->name, access, share, disposition, options);
}

bool IsAbsoluteTarget(std::string_view target) {
  return IsRooted(target) || (HasDriveLetter(target) && target.size() > 2 && (target[2] == '/' || target[2] == '\\'));
}

platform::UniqueFd OpenFolder(const std::string& path) {
  HANDLE handle = CreateFileW(platform::Widen(path).c_str(), kFolderAccess | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                              kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = ENOENT;
    return {};
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    CloseHandle(handle);
    errno = ENOTDIR;
    return {};
  }
  return Adopt(handle);
}

platform::UniqueFd EnterFolder(int at, const std::string& name) {
  return OpenInFolder(at, name, kFolderAccess, kShareAll, FILE_OPEN, FILE_DIRECTORY_FILE);
}

bool MakeFolderAt(int at, const std::string& name) {
  return static_cast<bool>(OpenInFolder(at, name, kFolderAccess, kShareAll, FILE_CREATE, FILE_DIRECTORY_FILE));
}

}  // namespace zip
