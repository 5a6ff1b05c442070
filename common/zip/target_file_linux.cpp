#include "common/zip/target_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/zip/item_path_linux.h"

namespace zip {

std::optional<TargetFile> TargetFile::Create(int baseFd, const std::string& path, bool readOnly) {
  const int flags = O_WRONLY | O_CREAT | O_NOCTTY | O_NONBLOCK;
  const mode_t mode = readOnly ? 0444 : 0666;
  // Non-blocking, so that a pipe in the target's place is refused instead of waited on. The creating
  // descriptor may write even when the new file's mode has no write bits.
  platform::UniqueFd fd = OpenBeneath(baseFd, path, flags | O_EXCL, mode);
  bool existed = false;
  if (!fd && errno == EEXIST) {
    fd = OpenBeneath(baseFd, path, flags | O_TRUNC, mode);
    existed = true;
  }
  if (!fd) return std::nullopt;
  struct stat info {};
  // Only regular files are replaced: writing into a device or a pipe is not unpacking. A file this
  // call created is a regular one.
  if (existed && (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))) return std::nullopt;
  return TargetFile(std::move(fd), existed, readOnly);
}

bool TargetFile::Write(const unsigned char* bytes, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd_.get(), bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool TargetFile::Finish(const ZipItem& item) {
  bool ok = true;
  const struct timespec times[2] = {{static_cast<time_t>(item.accessTime), 0},
                                    {static_cast<time_t>(item.modificationTime), 0}};
  ok = ::futimens(fd_.get(), times) == 0 && ok;
  if (existed_ && readOnly_) {
    struct stat info {};
    ok = ::fstat(fd_.get(), &info) == 0 && ::fchmod(fd_.get(), info.st_mode & 07555) == 0 && ok;
  }
  return fd_.Close() && ok;
}

}  // namespace zip
