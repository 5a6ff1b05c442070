// Files through the C runtime's descriptors over Win32 handles; an atomic write is a temporary file
// in the same folder, flushed with FlushFileBuffers and moved over the target with
// MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
#include <windows.h>
// After windows.h.
#include <aclapi.h>
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <cstdio>
#include <random>

#include "platform/file_io.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

// Owns a Win32 file handle.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    unsigned chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<unsigned>(bytes.size());
    int n = _write(fd, bytes.data(), chunk);
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// A name beside path that nothing has yet, made and opened for this writer alone.
int CreateUniqueBeside(const std::string& path, std::string& temp) {
  std::random_device seed;
  std::mt19937 random(seed());
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = path + ".";
    for (int i = 0; i < 6; ++i) temp.push_back(kLetters[random() % (sizeof kLetters - 1)]);
    int fd = -1;
    errno_t rc = _wsopen_s(&fd, Widen(temp).c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_NOINHERIT,
                           _SH_DENYNO, _S_IREAD | _S_IWRITE);
    if (rc == 0) return fd;
    if (rc != EEXIST) break;
  }
  temp.clear();
  return -1;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes) {
  Handle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  unsigned long long size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (size > maxBytes) return std::nullopt;
  // Read into the buffer sized from the file's size; a file that grows meanwhile is read on in chunks.
  std::string bytes(static_cast<size_t>(size), '\0');
  size_t done = 0;
  char chunk[16384];
  for (;;) {
    bool intoBuffer = done < bytes.size();
    char* target = intoBuffer ? bytes.data() + done : chunk;
    size_t room = intoBuffer ? bytes.size() - done : sizeof chunk;
    DWORD want = room > (1u << 30) ? (1u << 30) : static_cast<DWORD>(room);
    DWORD n = 0;
    if (!ReadFile(file.get(), target, want, &n, nullptr)) return std::nullopt;
    if (n == 0) break;
    if (!intoBuffer) {
      if (bytes.size() + n > maxBytes) return std::nullopt;
      bytes.append(chunk, n);
    }
    done += n;
  }
  bytes.resize(done);
  return bytes;
}

bool PathExists(const std::string& path) {
  if (GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  return !IsMissing(GetLastError());
}

bool IsLink(const std::string& path) {
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool RemoveFile(const std::string& path) {
  std::wstring wide = Widen(path);
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(GetLastError());
  // A link to a folder is removed as a folder would be, which leaves its target alone.
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && RemoveDirectoryW(wide.c_str());
  }
  return DeleteFileW(wide.c_str()) != 0;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path, FileAccess access) : path_(path) {
  (void)access;  // files in the user's own folders inherit the folder's access; RestrictToOwner narrows it
  if (path.empty()) return;
  DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  fd_ = UniqueFd(CreateUniqueBeside(path, temp_));
  ok_ = static_cast<bool>(fd_);
}

AtomicFileWriter::~AtomicFileWriter() {
  if (temp_.empty()) return;
  fd_.Close();
  DeleteFileW(Widen(temp_).c_str());
}

bool AtomicFileWriter::SetMode(unsigned mode) {
  // Windows files carry no permission bits: what runs is decided by the name's extension, and the
  // one bit that maps, the owner's write permission, would make the file read-only.
  (void)mode;
  return ok_;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
  ok_ = ok_ && WriteAll(fd_.get(), bytes);
  return ok_;
}

bool AtomicFileWriter::Commit() {
  bool ok = ok_ && _commit(fd_.get()) == 0;
  ok = fd_.Close() && ok;
  ok_ = false;
  if (!ok || !MoveFileExW(Widen(temp_).c_str(), Widen(path_).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return false;
  }
  temp_.clear();
  return true;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING the move fails when to exists.
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

long long ReadAt(int fd, char* buffer, size_t size, uint64_t offset) {
  // The C runtime takes a descriptor that is not open for a fault of the program, and ends it.
  if (fd < 0) return -1;
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE) return -1;
  // A read at an offset still moves a synchronous handle's position: it is put back afterwards, so
  // a writer of the same descriptor goes on where it was.
  LARGE_INTEGER position{};
  if (!SetFilePointerEx(handle, LARGE_INTEGER{}, &position, FILE_CURRENT)) return -1;
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  const DWORD wanted = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
  DWORD got = 0;
  const bool read = ReadFile(handle, buffer, wanted, &got, &at);
  const bool atEnd = !read && GetLastError() == ERROR_HANDLE_EOF;
  if (!SetFilePointerEx(handle, position, nullptr, FILE_BEGIN)) return -1;
  if (!read) return atEnd ? 0 : -1;
  return got;
}

bool RestrictToOwner(const std::string& path) {
  // The file's access list becomes the current user's full control alone, not inherited from the folder.
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::string buffer(size, '\0');
  bool haveUser = size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  if (!haveUser) return false;
  PSID user = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;

  EXPLICIT_ACCESSW access{};
  access.grfAccessPermissions = GENERIC_ALL;
  access.grfAccessMode = SET_ACCESS;
  access.grfInheritance = NO_INHERITANCE;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_USER;
  access.Trustee.ptstrName = static_cast<LPWSTR>(user);
  PACL acl = nullptr;
  if (SetEntriesInAclW(1, &access, nullptr, &acl) != ERROR_SUCCESS) return false;
  std::wstring wide = Widen(path);
  DWORD rc = SetNamedSecurityInfoW(wide.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                   nullptr, nullptr, acl, nullptr);
  LocalFree(acl);
  return rc == ERROR_SUCCESS;
}

}  // namespace platform
