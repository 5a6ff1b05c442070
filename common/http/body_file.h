#pragma once
// The bytes of one answer body written to an open file as they arrive, so that a body of any size
// costs no more memory than the transfer's own buffer. The file is the caller's; each answer starts
// it again from its beginning.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace http {

class BodyFile {
 public:
  // fd: a file open for writing, not owned; -1 for none.
  explicit BodyFile(int fd = -1) : fd_(fd) {}

  bool active() const { return fd_ >= 0; }
  uint64_t size() const { return size_; }

  // Empties the file for a new answer; false when it cannot be emptied.
  bool Restart();
  // Writes chunk after the bytes so far; false when the disk takes not all of it.
  bool Append(std::string_view chunk);

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

}  // namespace http
