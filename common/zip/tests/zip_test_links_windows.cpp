#include <windows.h>
// After windows.h.
#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/wide_text.h"
#include "zip_test_writer.h"

namespace zip_test {
namespace {

std::wstring Native(const std::string& path) {
  std::wstring wide = platform::Widen(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
}

bool IsReparsePoint(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A symbolic link, which needs the privilege for it or the developer mode.
bool MakeSymbolicLink(const std::string& target, const std::string& link, DWORD kind) {
  const std::wstring name = Native(link);
  return CreateSymbolicLinkW(name.c_str(), Native(target).c_str(),
                             kind | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
         IsReparsePoint(name);
}

// A junction: an empty folder given a mount point reparse point that names target.
bool MakeJunction(const std::string& target, const std::string& link) {
  const std::wstring name = Native(link);
  const std::wstring substitute = L"\\??\\" + Native(target);
  const std::wstring print = Native(target);
  if (!CreateDirectoryW(name.c_str(), nullptr)) return false;
  HANDLE folder = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  bool made = false;
  if (folder != INVALID_HANDLE_VALUE) {
    // Tag, data length, reserved; then the mount point's offsets and lengths and both names.
    const auto substituteBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
    const auto printBytes = static_cast<WORD>(print.size() * sizeof(wchar_t));
    const WORD dataLength = static_cast<WORD>(8 + substituteBytes + 2 + printBytes + 2);
    std::vector<unsigned char> buffer(8 + dataLength, 0);
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    const WORD fields[4] = {0, substituteBytes, static_cast<WORD>(substituteBytes + 2), printBytes};
    std::memcpy(&buffer[0], &tag, 4);
    std::memcpy(&buffer[4], &dataLength, 2);
    std::memcpy(&buffer[8], fields, sizeof fields);
    std::memcpy(&buffer[16], substitute.c_str(), substituteBytes);
    std::memcpy(&buffer[16 + substituteBytes + 2], print.c_str(), printBytes);
    DWORD returned = 0;
    made = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr,
                           0, &returned, nullptr) != 0;
    CloseHandle(folder);
  }
  made = made && IsReparsePoint(name);
  if (!made) RemoveDirectoryW(name.c_str());
  return made;
}

}  // namespace

bool MakeFolderLink(const std::string& target, const std::string& link) {
  return MakeSymbolicLink(target, link, SYMBOLIC_LINK_FLAG_DIRECTORY) || MakeJunction(target, link);
}

bool MakeFileLink(const std::string& target, const std::string& link) { return MakeSymbolicLink(target, link, 0); }

bool IsLink(const std::string& path) { return IsReparsePoint(Native(path)); }

}  // namespace zip_test
