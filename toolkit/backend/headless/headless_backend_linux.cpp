// The headless loop's waiting on Linux: a pipe for wake-ups, polled together with the watched
// descriptors.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <vector>

#include "toolkit/backend/headless/headless_backend.h"

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

}  // namespace toolkit
