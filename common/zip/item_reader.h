#pragma once
// Streams one item's data out of the archive: raw inflate or a plain copy, taking its input from
// the archive's read-ahead window, with a running CRC-32 over everything delivered.

#include <zlib.h>

#include <cstddef>
#include <cstdint>

#include "common/zip/archive_file.h"
#include "common/zip/zip_records.h"

namespace zip {

// The most bytes one Read delivers, and the input taken from the archive at a time.
inline constexpr std::size_t kChunkSize = ArchiveFile::kWindowSize;
// What one Read of inflated data should ask for: small enough that the bytes inflate wrote are
// still in the processor's cache when the checksum and the file write read them again. With other
// work crowding the cache, chunks of the full window made the kernel's copy into the file take up
// to a third of the time; on a quiet machine both sizes cost the same.
inline constexpr std::size_t kInflatedChunkSize = 64 * 1024;

class ItemReader {
 public:
  // Starts on the data of record that begins at dataStart. The file must outlive the reader.
  ItemReader(const ArchiveFile& file, const CentralRecord& record, std::uint64_t dataStart);
  ~ItemReader();
  ItemReader(const ItemReader&) = delete;
  ItemReader& operator=(const ItemReader&) = delete;

  // False when the data cannot be read at all: encrypted, an unknown method, stored sizes that
  // disagree, or no memory for the inflate state.
  bool Opened() const { return opened_; }

  // The size to ask of Read that costs least: kInflatedChunkSize for deflated data, kChunkSize for
  // stored data, which is read straight from the archive into the caller's buffer.
  std::size_t PreferredChunkSize() const { return deflated_ ? kInflatedChunkSize : kChunkSize; }

  // Delivers up to size bytes into out: the count, 0 once every byte has been delivered, or -1 when
  // the data is damaged or cannot be read.
  std::ptrdiff_t Read(unsigned char* out, std::size_t size);

  // True once every byte has been delivered and their CRC-32 matches the record's.
  bool Complete() const { return opened_ && !failed_ && outLeft_ == 0 && crc_ == expectedCrc_; }

 private:
  bool FillInput();
  std::ptrdiff_t Fail();

  const ArchiveFile& file_;
  z_stream stream_{};
  bool deflated_ = false;
  bool opened_ = false;
  bool inflating_ = false;
  bool streamEnded_ = false;
  bool failed_ = false;
  std::uint64_t inPos_ = 0;
  std::uint64_t inLeft_ = 0;
  std::uint64_t outLeft_ = 0;
  std::uint32_t expectedCrc_ = 0;
  std::uint32_t crc_ = 0;
};

}  // namespace zip
