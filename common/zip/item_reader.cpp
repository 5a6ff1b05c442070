#include "common/zip/item_reader.h"

#include <algorithm>

namespace zip {

ItemReader::ItemReader(const ArchiveFile& file, const CentralRecord& record, std::uint64_t dataStart)
    : file_(file),
      deflated_(record.method == kMethodDeflated),
      inPos_(dataStart),
      inLeft_(record.compressedSize),
      outLeft_(record.uncompressedSize),
      expectedCrc_(record.crc32),
      crc_(static_cast<std::uint32_t>(crc32(0, nullptr, 0))) {
  // Encrypted data would come out as noise; refusing it is the honest answer.
  if ((record.flags & kFlagEncrypted) != 0) return;
  if (record.method == kMethodStored) {
    opened_ = record.compressedSize == record.uncompressedSize;
  } else if (deflated_) {
    inflating_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
    opened_ = inflating_;
  }
}

ItemReader::~ItemReader() {
  if (inflating_) inflateEnd(&stream_);
}

std::ptrdiff_t ItemReader::Fail() {
  failed_ = true;
  return -1;
}

bool ItemReader::FillInput() {
  const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, inLeft_));
  const unsigned char* bytes = file_.View(inPos_, size);
  if (!bytes) return false;
  inPos_ += size;
  inLeft_ -= size;
  // zlib only reads through next_in; the window stays untouched until the next FillInput.
  stream_.next_in = const_cast<unsigned char*>(bytes);
  stream_.avail_in = static_cast<uInt>(size);
  return true;
}

std::ptrdiff_t ItemReader::Read(unsigned char* out, std::size_t size) {
  if (!opened_ || failed_) return -1;
  const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>({size, outLeft_, kChunkSize}));
  if (wanted == 0) return 0;
  std::size_t produced = 0;
  if (!deflated_) {
    if (!file_.ReadAt(inPos_, out, wanted)) return Fail();
    inPos_ += wanted;
    inLeft_ -= wanted;
    produced = wanted;
  } else {
    stream_.next_out = out;
    stream_.avail_out = static_cast<uInt>(wanted);
    // When this call asks for everything that is left, Z_FINISH lets zlib inflate straight into
    // out without first keeping a copy of it in its window; should the stream not end there, zlib
    // sets up the window and goes on as with Z_NO_FLUSH.
    const int flush = wanted == outLeft_ ? Z_FINISH : Z_NO_FLUSH;
    while (stream_.avail_out > 0) {
      // The stream said it was complete while bytes are still owed: the sizes lie.
      if (streamEnded_) return Fail();
      if (stream_.avail_in == 0 && inLeft_ > 0 && !FillInput()) return Fail();
      // With every input byte taken, zlib may still hold output: a long run of highly compressible
      // data ends in a few bytes that stand for far more than one buffer. So inflate runs on with
      // no input left, and only a call that can make no progress at all means the data ran out.
      const int rc = inflate(&stream_, flush);
      if (rc == Z_STREAM_END) {
        streamEnded_ = true;
      } else if (rc == Z_BUF_ERROR) {
        // Under Z_FINISH the answer also means "not finished yet", even after progress: only a
        // stream that still has room to write and no input to come has run out.
        if (stream_.avail_out != 0 && (inLeft_ == 0 || stream_.avail_in != 0)) return Fail();
      } else if (rc != Z_OK) {
        return Fail();
      }
    }
    produced = wanted - stream_.avail_out;
  }
  crc_ = static_cast<std::uint32_t>(crc32(crc_, out, static_cast<uInt>(produced)));
  outLeft_ -= produced;
  return static_cast<std::ptrdiff_t>(produced);
}

}  // namespace zip
