#pragma once
// An archive file opened read-only. Every read names its position, so the directory walk and an
// item's data never disturb each other through a shared file position.
//
// Reads are served from memory where they can be: the central directory is read once in one call
// and kept (up to kMaxHeldDirectory), and short reads elsewhere fill a read-ahead window, so that
// the local headers and data of small items that follow each other cost one system call per window
// instead of several per item. One thread reads an archive at a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/zip/zip_result.h"
#include "platform/unique_fd.h"

namespace zip {

class ArchiveFile {
 public:
  // The read-ahead window: reads shorter than this are served from it.
  static constexpr std::size_t kWindowSize = 256 * 1024;
  // A directory larger than this is not held but read through the window like the rest.
  static constexpr std::uint64_t kMaxHeldDirectory = std::uint64_t{64} << 20;

  // Opens path for reading. kOpenFailed when it cannot be opened; kReadError when it is not a
  // regular file (pipes, devices and folders cannot be searched from their end).
  static ZipResult Open(const std::string& path, std::optional<ArchiveFile>& file);

  std::uint64_t Size() const { return size_; }

  // Reads exactly size bytes at position; false on an error or when the file ends first.
  bool ReadAt(std::uint64_t position, void* buffer, std::size_t size) const;

  // The size bytes at position (at most kWindowSize), valid until the next read; null on an error
  // or when the file ends first.
  const unsigned char* View(std::uint64_t position, std::size_t size) const;

  // Reads the bytes from begin to end once and serves later reads inside them from memory. False
  // (and nothing held) when the span is larger than kMaxHeldDirectory or cannot be read.
  bool Hold(std::uint64_t begin, std::uint64_t end);

 private:
  ArchiveFile(platform::UniqueFd fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}

  bool ReadFromFile(std::uint64_t position, unsigned char* out, std::size_t size) const;
  // Copies the span from a block that holds it whole; false when it does not.
  static bool Inside(std::uint64_t blockStart, std::size_t blockSize, std::uint64_t position, std::size_t size) {
    return position >= blockStart && position - blockStart <= blockSize && size <= blockSize - (position - blockStart);
  }

  platform::UniqueFd fd_;
  std::uint64_t size_ = 0;
  std::unique_ptr<unsigned char[]> held_;
  std::uint64_t heldStart_ = 0;
  std::size_t heldSize_ = 0;
  mutable std::unique_ptr<unsigned char[]> window_;
  mutable std::uint64_t windowStart_ = 0;
  mutable std::size_t windowSize_ = 0;
};

}  // namespace zip
