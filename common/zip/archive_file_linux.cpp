#include "common/zip/archive_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace zip {

ZipResult ArchiveFile::Open(const std::string& path, std::optional<ArchiveFile>& file) {
  file.reset();
  // Non-blocking, so that naming a pipe does not wait for a writer before it is refused.
  platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!fd) return ZipResult::kOpenFailed;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return ZipResult::kReadError;
  file.emplace(ArchiveFile(std::move(fd), static_cast<std::uint64_t>(info.st_size)));
  return ZipResult::kOk;
}

bool ArchiveFile::ReadFromFile(std::uint64_t position, unsigned char* out, std::size_t size) const {
  if (position > size_ || size > size_ - position) return false;
  while (size > 0) {
    ssize_t got = ::pread(fd_.get(), out, size, static_cast<off_t>(position));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    out += got;
    size -= static_cast<std::size_t>(got);
    position += static_cast<std::uint64_t>(got);
  }
  return true;
}

}  // namespace zip
