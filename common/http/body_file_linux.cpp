#include "common/http/body_file.h"

#include <unistd.h>

#include <cerrno>

namespace http {

bool BodyFile::Restart() {
  size_ = 0;
  return ::ftruncate(fd_, 0) == 0;
}

bool BodyFile::Append(std::string_view chunk) {
  // Written at the body's own position, whatever the descriptor's offset: the file is the body.
  const char* bytes = chunk.data();
  size_t left = chunk.size();
  while (left > 0) {
    const ssize_t written = ::pwrite(fd_, bytes, left, static_cast<off_t>(size_));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    left -= static_cast<size_t>(written);
    size_ += static_cast<uint64_t>(written);
  }
  return true;
}

}  // namespace http
