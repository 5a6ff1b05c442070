#include "toolkit/backend/headless/headless_backend.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <vector>

namespace toolkit {

HeadlessBackend::HeadlessBackend() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
  }
}

HeadlessBackend::~HeadlessBackend() {
  if (wakeRead_ >= 0) close(wakeRead_);
  if (wakeWrite_ >= 0) close(wakeWrite_);
}

std::unique_ptr<NativeWindow> HeadlessBackend::CreateNativeWindow(WindowHost*, const WindowParams& params) {
  return std::make_unique<HeadlessWindow>(params);
}

void HeadlessBackend::Wake() {
  if (wakeWrite_ < 0) return;
  char byte = 1;
  ssize_t n = write(wakeWrite_, &byte, 1);  // a full pipe already holds a wake-up
  (void)n;
}

void HeadlessBackend::WatchReadable(int fd, std::function<void()> onReadable) { watched_[fd] = std::move(onReadable); }

void HeadlessBackend::UnwatchReadable(int fd) { watched_.erase(fd); }

// Waits up to timeoutMs (-1 forever) for a wake-up or a watched descriptor; true when one came.
bool HeadlessBackend::PollFds(int timeoutMs) {
  std::vector<pollfd> fds;
  fds.push_back(pollfd{wakeRead_, POLLIN, 0});
  for (const auto& [fd, cb] : watched_) fds.push_back(pollfd{fd, POLLIN, 0});
  int n = poll(fds.data(), fds.size(), timeoutMs);
  if (n <= 0) return false;
  if (fds[0].revents) {
    char buffer[64];
    while (read(wakeRead_, buffer, sizeof buffer) > 0) {
    }
  }
  std::vector<int> ready;
  for (size_t i = 1; i < fds.size(); ++i) {
    if (fds[i].revents) ready.push_back(fds[i].fd);
  }
  for (int fd : ready) {
    auto it = watched_.find(fd);
    if (it != watched_.end()) {
      auto callback = it->second;  // the callback may unwatch itself
      callback();
    }
  }
  return true;
}

void HeadlessBackend::DispatchReady() { PollFds(0); }

void HeadlessBackend::Wait(std::optional<int64_t> deadlineMs) {
  if (PollFds(0)) return;
  if (idle_ && idle_()) return;
  // A standing dialog's scripted answer comes due like a timer.
  if (auto answer = desktop_.NextAnswerDue(); answer && (!deadlineMs || *answer < *deadlineMs)) deadlineMs = answer;
  if (deadlineMs) {
    // Nothing else can happen before the next timer: let virtual time jump to it.
    if (*deadlineMs > now_) now_ = *deadlineMs;
    return;
  }
  PollFds(-1);
}

}  // namespace toolkit
