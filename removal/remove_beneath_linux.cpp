#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/unique_fd.h"
#include "removal/remove_beneath.h"

namespace {

Gone FromErrno() { return errno == ENOENT ? Gone::Missing : Gone::Failed; }

}  // namespace

Gone RemoveBeneath(const std::string& root, const std::string& relative, bool folder) {
  platform::UniqueFd dir(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir) return FromErrno();
  size_t start = 0;
  for (size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', start)) {
    std::string part = relative.substr(start, slash - start);
    platform::UniqueFd next(openat(dir.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next) return FromErrno();
    dir = std::move(next);
    start = slash + 1;
  }
  std::string name = relative.substr(start);
  struct stat info {};
  if (fstatat(dir.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return FromErrno();
  if (S_ISDIR(info.st_mode) != folder) return Gone::Failed;
  return unlinkat(dir.get(), name.c_str(), folder ? AT_REMOVEDIR : 0) == 0 ? Gone::Removed : FromErrno();
}

Gone RemoveRule(const std::string& path) { return unlink(path.c_str()) == 0 ? Gone::Removed : FromErrno(); }
