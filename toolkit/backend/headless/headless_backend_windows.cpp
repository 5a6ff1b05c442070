// The headless loop's waiting on Windows: a condition for wake-ups. Descriptors are not watched
// there (nothing of the toolkit hands one over on Windows).
#include <chrono>

#include "toolkit/backend/headless/headless_backend.h"

namespace toolkit {

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

void HeadlessBackend::Wake() {
  std::lock_guard<std::mutex> lock(wakeMutex_);
  woken_ = true;
  wakeCondition_.notify_all();
}

void HeadlessBackend::WatchReadable(int fd, std::function<void()> onReadable) { watched_[fd] = std::move(onReadable); }

void HeadlessBackend::UnwatchReadable(int fd) { watched_.erase(fd); }

bool HeadlessBackend::PollFds(int timeoutMs) {
  std::unique_lock<std::mutex> lock(wakeMutex_);
  if (timeoutMs < 0) {
    wakeCondition_.wait(lock, [this] { return woken_; });
  } else if (timeoutMs > 0) {
    wakeCondition_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return woken_; });
  }
  bool woken = woken_;
  woken_ = false;
  return woken;
}

}  // namespace toolkit
