#include "common/zip/zip_reader.h"

#include "common/zip/item_description.h"
#include "common/zip/item_overlap.h"

namespace zip {

std::unique_ptr<ZipReader> ZipReader::Open(const std::string& path, ZipResult& reason) {
  std::optional<ArchiveFile> file;
  reason = ArchiveFile::Open(path, file);
  if (reason != ZipResult::kOk) return nullptr;
  DirectoryLocation location;
  reason = LocateDirectory(*file, location);
  if (reason != ZipResult::kOk) return nullptr;
  // The directory is walked more than once (the overlap check, then item by item): it is read in
  // one call and kept. An archive whose directory is too large to hold is still read, piece by piece.
  file->Hold(location.firstRecord, location.end);
  std::vector<bool> overlapping = FindOverlappingItems(*file, location);
  return std::unique_ptr<ZipReader>(new ZipReader(std::move(*file), location, std::move(overlapping)));
}

ZipReader::ZipReader(ArchiveFile file, const DirectoryLocation& location, std::vector<bool> overlapping)
    : file_(std::move(file)),
      location_(location),
      cursorPosition_(location.firstRecord),
      overlapping_(std::move(overlapping)) {}

ZipResult ZipReader::DescribeAt(std::uint64_t position, std::int32_t index, DescribedItem& described) const {
  ZipResult result = ReadCentralRecord(file_, position, location_.end, described.record);
  if (result != ZipResult::kOk) return result;
  LocalItem local;
  result = ReadLocalItem(file_, location_, described.record, local);
  if (result != ZipResult::kOk) return result;
  described.item = DescribeItem(index, described.record, local.extra);
  described.dataStart = local.dataStart;
  return ZipResult::kOk;
}

ZipResult ZipReader::Describe(std::int32_t index, const DescribedItem*& described) {
  described = nullptr;
  if (index < 0 || index >= location_.count) return ZipResult::kBadArgument;
  if (last_ && last_->item.index == index) {
    described = &*last_;
    return ZipResult::kOk;
  }
  if (index < cursorIndex_) {
    cursorIndex_ = 0;
    cursorPosition_ = location_.firstRecord;
  }
  CentralRecord record;
  while (cursorIndex_ < index) {
    ZipResult result = ReadCentralRecord(file_, cursorPosition_, location_.end, record);
    if (result != ZipResult::kOk) return result;
    cursorPosition_ = record.next;
    ++cursorIndex_;
  }
  last_.reset();
  DescribedItem item;
  ZipResult result = DescribeAt(cursorPosition_, index, item);
  if (result != ZipResult::kOk) return result;
  last_ = std::move(item);
  described = &*last_;
  return ZipResult::kOk;
}

}  // namespace zip
