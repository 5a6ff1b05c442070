#include "common/http/response_buffer.h"

#include <cstdint>
#include <cstring>

namespace http {

bool ResponseBuffer::Restart() {
  Release();
  // Not zeroed: only the bytes appended are ever read.
  data_.reset(static_cast<char*>(std::malloc(kInitialCapacity)));
  if (!data_) return false;
  capacity_ = kInitialCapacity;
  return true;
}

bool ResponseBuffer::Grow(size_t capacity) {
  if (growthLimit_ != 0 && capacity >= growthLimit_) return false;
  // realloc keeps the old block untouched when it fails; large blocks are moved by remapping
  // pages rather than copying, so doubling costs no second copy of the body.
  char* grown = static_cast<char*>(std::realloc(data_.get(), capacity));
  if (!grown) return false;
  (void)data_.release();
  data_.reset(grown);
  capacity_ = capacity;
  AskForLargePages();
  return true;
}

bool ResponseBuffer::Reserve(size_t capacity) {
  if (!data_ || capacity > kMaxLength) return false;
  return capacity <= capacity_ || Grow(capacity);
}

bool ResponseBuffer::Append(std::string_view chunk) {
  if (chunk.empty()) return true;
  if (!data_ || chunk.size() > kMaxLength - size_) return false;
  size_t needed = size_ + chunk.size();
  if (needed > capacity_) {
    size_t capacity = capacity_;
    while (capacity < needed) capacity = capacity > kMaxLength / 2 ? kMaxLength : capacity * 2;
    if (!Grow(capacity)) return false;
  }
  std::memcpy(data_.get() + size_, chunk.data(), chunk.size());
  size_ = needed;
  return true;
}

void ResponseBuffer::Release() {
  data_.reset();
  size_ = 0;
  capacity_ = 0;
}

}  // namespace http
