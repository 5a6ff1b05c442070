#pragma once
// The file an item is written to: created or emptied, written in order, given the item's mode and
// times at the end.

#include <cstddef>
#include <optional>
#include <string>

#include "common/zip/zip_item.h"
#include "platform/unique_fd.h"

namespace zip {

class TargetFile {
 public:
  // Creates path (relative, "/" separators, no "..") beneath the folder open as baseFd, or empties
  // the file already there. A read-only item gets a mode without write bits. No symbolic link is
  // followed, neither in the target's place nor in a folder on the way to it. Nothing when the file
  // cannot be opened for writing.
  static std::optional<TargetFile> Create(int baseFd, const std::string& path, bool readOnly);

  // Writes all of bytes; false on any failure.
  bool Write(const unsigned char* bytes, std::size_t size);

  // Sets the access and modification times, takes write bits away from a read-only item that
  // replaced an existing file, and closes. False when a step fails.
  bool Finish(const ZipItem& item);

 private:
  TargetFile(platform::UniqueFd fd, bool existed, bool readOnly)
      : fd_(std::move(fd)), existed_(existed), readOnly_(readOnly) {}

  platform::UniqueFd fd_;
  bool existed_ = false;
  bool readOnly_ = false;
};

}  // namespace zip
