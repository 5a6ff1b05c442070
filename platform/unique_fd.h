#pragma once
// Owns a POSIX file descriptor and closes it once.

#include <unistd.h>

#include <utility>

namespace platform {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Close(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Close();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  explicit operator bool() const { return fd_ >= 0; }
  int get() const { return fd_; }

  // Closes now; false when close reported an error (a write may then not have reached the file).
  bool Close() {
    if (fd_ < 0) return true;
    int rc = ::close(std::exchange(fd_, -1));
    return rc == 0;
  }

 private:
  int fd_ = -1;
};

}  // namespace platform
