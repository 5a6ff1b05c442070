#include "common/zip/archive_file.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace zip {

const unsigned char* ArchiveFile::View(std::uint64_t position, std::size_t size) const {
  if (size > kWindowSize || position > size_ || size > size_ - position) return nullptr;
  if (held_ && Inside(heldStart_, heldSize_, position, size)) return held_.get() + (position - heldStart_);
  if (!window_ || !Inside(windowStart_, windowSize_, position, size)) {
    if (!window_) window_.reset(new (std::nothrow) unsigned char[kWindowSize]);
    if (!window_) return nullptr;
    const auto fill = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, size_ - position));
    windowSize_ = 0;
    if (!ReadFromFile(position, window_.get(), fill)) return nullptr;
    windowStart_ = position;
    windowSize_ = fill;
  }
  return window_.get() + (position - windowStart_);
}

bool ArchiveFile::ReadAt(std::uint64_t position, void* buffer, std::size_t size) const {
  auto* out = static_cast<unsigned char*>(buffer);
  if (size >= kWindowSize) return ReadFromFile(position, out, size);
  const unsigned char* bytes = View(position, size);
  if (!bytes) return false;
  std::memcpy(out, bytes, size);
  return true;
}

bool ArchiveFile::Hold(std::uint64_t begin, std::uint64_t end) {
  held_.reset();
  heldSize_ = 0;
  if (begin > end || end - begin > kMaxHeldDirectory) return false;
  const auto size = static_cast<std::size_t>(end - begin);
  std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[size == 0 ? 1 : size]);
  if (!bytes || !ReadFromFile(begin, bytes.get(), size)) return false;
  held_ = std::move(bytes);
  heldStart_ = begin;
  heldSize_ = size;
  return true;
}

}  // namespace zip
