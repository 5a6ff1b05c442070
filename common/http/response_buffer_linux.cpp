#include "common/http/response_buffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace http {

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

}  // namespace http
