// Files through POSIX descriptors; an atomic write is a temporary file in the same folder, flushed
// with fsync and renamed over the target.
#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>

#include "platform/unique_fd.h"

namespace platform {

std::optional<std::string> ReadWholeFile(const std::string& path, size_t maxBytes) {
  UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return std::nullopt;
  struct stat info {};
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  if (static_cast<unsigned long long>(info.st_size) > maxBytes) return std::nullopt;
  // Read straight into the buffer sized from fstat; a file that grows meanwhile is read on in chunks.
  std::string bytes(static_cast<size_t>(info.st_size), '\0');
  size_t done = 0;
  char chunk[16384];
  for (;;) {
    bool intoBuffer = done < bytes.size();
    char* target = intoBuffer ? bytes.data() + done : chunk;
    size_t room = intoBuffer ? bytes.size() - done : sizeof chunk;
    ssize_t n = read(fd.get(), target, room);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    if (!intoBuffer) {
      if (bytes.size() + static_cast<size_t>(n) > maxBytes) return std::nullopt;
      bytes.append(chunk, static_cast<size_t>(n));
    }
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

bool IsLink(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

bool RemoveFile(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return errno == ENOENT;
  return !S_ISDIR(info.st_mode) && unlink(path.c_str()) == 0;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path, FileAccess access) : path_(path) {
  if (path.empty()) return;
  struct stat existing {};
  bool exists = stat(path.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return;
  mode_t mode = exists ? (existing.st_mode & 07777) : (access == FileAccess::OwnerOnly ? 0600 : 0644);
  temp_ = path + ".XXXXXX";
  fd_ = UniqueFd(mkostemp(temp_.data(), O_CLOEXEC));
  if (!fd_) {
    temp_.clear();
    return;
  }
  ok_ = fchmod(fd_.get(), mode) == 0;
}

AtomicFileWriter::~AtomicFileWriter() {
  if (temp_.empty()) return;
  fd_.Close();
  unlink(temp_.c_str());
}

bool AtomicFileWriter::SetMode(unsigned mode) {
  ok_ = ok_ && fchmod(fd_.get(), static_cast<mode_t>(mode & 07777)) == 0;
  return ok_;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
  ok_ = ok_ && WriteAll(fd_.get(), bytes);
  return ok_;
}

bool AtomicFileWriter::Commit() {
  bool ok = ok_ && fsync(fd_.get()) == 0;
  ok = fd_.Close() && ok;
  ok_ = false;
  if (!ok || rename(temp_.c_str(), path_.c_str()) != 0) return false;
  temp_.clear();
  // Make the rename itself durable.
  UniqueFd folder(open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder) fsync(folder.get());
  return true;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the no-replace flag: a hard link fails just the same when to exists.
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
}

long long ReadAt(int fd, char* buffer, size_t size, uint64_t offset) {
  if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) return -1;
  ssize_t got;
  do {
    got = ::pread(fd, buffer, size, static_cast<off_t>(offset));
  } while (got < 0 && errno == EINTR);
  return got;
}

bool RestrictToOwner(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  if ((st.st_mode & 077) == 0) return true;
  return chmod(path.c_str(), st.st_mode & 07700) == 0;
}

}  // namespace platform
