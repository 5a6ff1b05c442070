#include "common/http/body_file.h"

#include <io.h>
#include <windows.h>

#include <algorithm>

namespace http {

bool BodyFile::Restart() {
  size_ = 0;
  return ::_chsize_s(fd_, 0) == 0;
}

bool BodyFile::Append(std::string_view chunk) {
  // The descriptor is the C runtime's; its system handle takes a write at the body's own position,
  // whatever the descriptor's offset: the file is the body.
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  if (handle == INVALID_HANDLE_VALUE) return false;
  const char* bytes = chunk.data();
  size_t left = chunk.size();
  while (left > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(size_);
    at.OffsetHigh = static_cast<DWORD>(size_ >> 32);
    const DWORD part = static_cast<DWORD>(std::min<size_t>(left, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(handle, bytes, part, &written, &at) || written == 0) return false;
    bytes += written;
    left -= written;
    size_ += written;
  }
  return true;
}

}  // namespace http
