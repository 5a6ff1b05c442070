#pragma once
// ZipReader: one open archive and its central directory. It finds the directory, walks it with a
// cursor that rewinds when asked for an earlier item, checks each item's local header and keeps the
// last description. Both the extractor and the in-memory reader stand on it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/zip/archive_file.h"
#include "common/zip/zip_item.h"
#include "common/zip/zip_records.h"
#include "common/zip/zip_result.h"

namespace zip {

// An item as the reader knows it: its description and where its data lies.
struct DescribedItem {
  ZipItem item;
  CentralRecord record;
  std::uint64_t dataStart = 0;
};

class ZipReader {
 public:
  // Opens the archive at path; null on failure with the reason in reason (kOpenFailed, kReadError).
  static std::unique_ptr<ZipReader> Open(const std::string& path, ZipResult& reason);

  std::int32_t Count() const { return location_.count; }
  const ArchiveFile& File() const { return file_; }
  std::uint64_t FirstRecord() const { return location_.firstRecord; }
  std::uint64_t DirectoryEnd() const { return location_.end; }

  // Describes item index (0 ... Count()-1): kBadArgument out of range, kReadError for a damaged
  // directory, the codes of the local header check otherwise. The result stays valid until the
  // next call.
  ZipResult Describe(std::int32_t index, const DescribedItem*& described);

  // Reads the central record at position and checks its local header, without moving the cursor.
  ZipResult DescribeAt(std::uint64_t position, std::int32_t index, DescribedItem& described) const;

  // True when item index lies over bytes of another item: its data is not to be unpacked.
  bool Overlaps(std::int32_t index) const {
    return index >= 0 && static_cast<std::size_t>(index) < overlapping_.size() && overlapping_[index];
  }

 private:
  ZipReader(ArchiveFile file, const DirectoryLocation& location, std::vector<bool> overlapping);

  ArchiveFile file_;
  DirectoryLocation location_;
  std::int32_t cursorIndex_ = 0;
  std::uint64_t cursorPosition_ = 0;
  std::optional<DescribedItem> last_;
  std::vector<bool> overlapping_;
};

}  // namespace zip
