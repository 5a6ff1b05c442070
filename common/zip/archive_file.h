#pragma once
// An archive file opened read-only. Every read names its position, so the directory walk and an
// item's data never disturb each other through a shared file position.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/zip/zip_result.h"
#include "platform/unique_fd.h"

namespace zip {

class ArchiveFile {
 public:
  // Opens path for reading. kOpenFailed when it cannot be opened; kReadError when it is not a
  // regular file (pipes, devices and folders cannot be searched from their end).
  static ZipResult Open(const std::string& path, std::optional<ArchiveFile>& file);

  std::uint64_t Size() const { return size_; }

  // Reads exactly size bytes at position; false on an error or when the file ends first.
  bool ReadAt(std::uint64_t position, void* buffer, std::size_t size) const;

 private:
  ArchiveFile(platform::UniqueFd fd, std::uint64_t size) : fd_(std::move(fd)), size_(size) {}

  platform::UniqueFd fd_;
  std::uint64_t size_ = 0;
};

}  // namespace zip
