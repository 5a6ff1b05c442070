#pragma once
// A socket pair standing in for a HID device node: the device end goes to the code under test, the
// far end plays the device. Reports keep their boundaries (SOCK_SEQPACKET) unless a stream is
// asked for; Clog fills the far end's receive room so that the node never drains.

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_fd.h"

namespace testing_support {

class SocketNode {
 public:
  explicit SocketNode(int type = SOCK_SEQPACKET) {
    int fds[2] = {-1, -1};
    if (socketpair(AF_UNIX, type | SOCK_CLOEXEC, 0, fds) == 0) {
      device_ = platform::UniqueFd(fds[0]);
      far_ = platform::UniqueFd(fds[1]);
    }
  }

  // The end the code under test drives; once.
  platform::UniqueFd TakeDeviceEnd() { return std::move(device_); }
  int Far() const { return far_.get(); }
  void CloseFar() { far_.Close(); }

  // Before the device end is taken: writes reports of bytes length into it until nothing more fits,
  // as a device that stopped taking reports; true when it filled.
  bool Clog(size_t bytes) {
    std::vector<uint8_t> report(bytes, 0xAA);
    for (int i = 0; i < 1'000'000; ++i) {
      if (send(device_.get(), report.data(), report.size(), MSG_DONTWAIT | MSG_NOSIGNAL) < 0) return errno == EAGAIN;
    }
    return false;
  }

  // The device sends one report to the code under test.
  bool Send(const std::vector<uint8_t>& report) const {
    return send(far_.get(), report.data(), report.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(report.size());
  }

  // Everything that arrives at the far end until the device end closes, or nothing when it does not
  // close within the bound (so that a broken test fails instead of hanging).
  std::optional<size_t> DrainUntilClosed(int boundMs = 10'000) const {
    size_t total = 0;
    std::vector<uint8_t> chunk(65536);
    for (;;) {
      pollfd p{far_.get(), POLLIN, 0};
      if (poll(&p, 1, boundMs) != 1) return std::nullopt;
      ssize_t n = recv(far_.get(), chunk.data(), chunk.size(), 0);
      if (n == 0) return total;
      if (n < 0) return std::nullopt;
      total += static_cast<size_t>(n);
    }
  }

 private:
  platform::UniqueFd device_;
  platform::UniqueFd far_;
};

// How long run takes, for checking that a wait ends with its time-out.
template <typename Run>
double SecondsOf(Run run) {
  auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace testing_support
