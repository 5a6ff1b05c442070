#include "common/zip/item_path_linux.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "common/zip/item_path.h"

namespace zip {

bool IsAbsoluteTarget(std::string_view target) { return IsRooted(target); }

platform::UniqueFd OpenFolder(const std::string& path) {
  return platform::UniqueFd(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

platform::UniqueFd EnterFolder(int at, const std::string& name) {
  return platform::UniqueFd(::openat(at, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

platform::UniqueFd OpenBeneath(int baseFd, std::string_view path, int flags, mode_t mode) {
  const std::string text(path);
  struct open_how how {};
  how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
  how.mode = (flags & O_CREAT) != 0 ? mode : 0;
  how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
  const long fd = ::syscall(SYS_openat2, baseFd, text.c_str(), &how, sizeof how);
  if (fd >= 0) return platform::UniqueFd(static_cast<int>(fd));
  // A kernel before openat2 says ENOSYS, one that lacks a resolve flag EINVAL, and a sandbox that
  // filters unknown calls may say EPERM: the long way gives the same answer there.
  if (errno != ENOSYS && errno != EINVAL && errno != EPERM) return {};
  return OpenBeneathByComponents(baseFd, path, flags, mode);
}

platform::UniqueFd OpenBeneathByComponents(int baseFd, std::string_view path, int flags, mode_t mode) {
  const std::optional<LastStep> last = EnterFoldersOf(baseFd, path);
  if (!last) return {};
  platform::UniqueFd fd(::openat(last->folder, last->name.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode));
  struct stat info {};
  // With O_PATH, O_NOFOLLOW opens a link itself instead of refusing it.
  if (fd && (flags & O_PATH) != 0 && (::fstat(fd.get(), &info) != 0 || S_ISLNK(info.st_mode))) {
    errno = ELOOP;
    return {};
  }
  return fd;
}

bool MakeFolderAt(int at, const std::string& name) { return ::mkdirat(at, name.c_str(), 0777) == 0; }

}  // namespace zip
