#include "common/http/response_buffer.h"

#include <sys/mman.h>

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

void ResponseBuffer::AskForLargePages() {
#ifdef MADV_HUGEPAGE
  // A large body fills its pages as fast as the network delivers: taken in 2 MiB pages where the
  // system offers them on request, it costs a page fault per 2 MiB instead of one per 4 KiB.
  constexpr size_t kLargeBody = size_t{4} << 20;
  constexpr uintptr_t kPage = 4096;
  if (capacity_ < kLargeBody) return;
  const auto begin = (reinterpret_cast<uintptr_t>(data_.get()) + kPage - 1) & ~(kPage - 1);
  const auto end = (reinterpret_cast<uintptr_t>(data_.get()) + capacity_) & ~(kPage - 1);
  // Only a hint: where it is refused, the body simply takes small pages.
  if (end > begin) (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
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
