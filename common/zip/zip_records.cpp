#include "common/zip/zip_records.h"

#include <algorithm>
#include <array>

#include "platform/codepage.h"

namespace zip {
namespace {

constexpr std::uint64_t kMaxEndSearch = 0xFFFF;
constexpr std::size_t kSearchBlock = 1024;
// Blocks overlap by the signature's length less one byte, so a signature across a block edge is seen.
constexpr std::size_t kSearchBuffer = kSearchBlock + 4;

bool IsEndSignature(const unsigned char* p) { return p[0] == 'P' && p[1] == 'K' && p[2] == 5 && p[3] == 6; }

// Searches from the end towards the start, block by block and within each block from its end, and
// takes the match nearest the end. Position 0 counts as no match.
std::uint64_t FindEndRecord(const ArchiveFile& file) {
  const std::uint64_t size = file.Size();
  const std::uint64_t maxBack = std::min(kMaxEndSearch, size);
  std::array<unsigned char, kSearchBuffer> buffer{};
  std::uint64_t back = 4;
  while (back < maxBack) {
    back = std::min(back + kSearchBlock, maxBack);
    const std::uint64_t readPos = size - back;
    const auto readSize = static_cast<std::size_t>(std::min<std::uint64_t>(kSearchBuffer, size - readPos));
    if (!file.ReadAt(readPos, buffer.data(), readSize)) return 0;
    for (std::size_t i = readSize - 3; i-- > 0;) {
      if (IsEndSignature(&buffer[i])) return readPos + i;
    }
  }
  return 0;
}

}  // namespace

ZipResult LocateDirectory(const ArchiveFile& file, DirectoryLocation& location) {
  const std::uint64_t endPos = FindEndRecord(file);
  if (endPos == 0) return ZipResult::kReadError;
  unsigned char end[kEndRecordSize];
  if (!file.ReadAt(endPos, end, sizeof end)) return ZipResult::kReadError;
  const std::uint16_t thisDisk = Le16(end + 4);
  const std::uint16_t directoryDisk = Le16(end + 6);
  const std::uint16_t entriesHere = Le16(end + 8);
  const std::uint16_t entriesTotal = Le16(end + 10);
  const std::uint64_t directorySize = Le32(end + 12);
  const std::uint64_t directoryOffset = Le32(end + 16);
  if (thisDisk != 0 || directoryDisk != 0 || entriesHere != entriesTotal) return ZipResult::kReadError;
  if (directoryOffset + directorySize > endPos) return ZipResult::kReadError;
  location.count = entriesTotal;
  location.correction = endPos - (directoryOffset + directorySize);
  location.firstRecord = directoryOffset + location.correction;
  location.end = endPos;
  return ZipResult::kOk;
}

ZipResult ReadCentralRecord(const ArchiveFile& file, std::uint64_t position, std::uint64_t end,
                            CentralRecord& record) {
  unsigned char fixed[kCentralFixedSize];
  if (position > end || end - position < kCentralFixedSize) return ZipResult::kReadError;
  if (!file.ReadAt(position, fixed, sizeof fixed)) return ZipResult::kReadError;
  if (Le32(fixed) != kCentralSignature) return ZipResult::kReadError;
  record.flags = Le16(fixed + 8);
  record.method = Le16(fixed + 10);
  record.dosDateTime = Le32(fixed + 12);
  record.crc32 = Le32(fixed + 16);
  record.compressedSize = Le32(fixed + 20);
  record.uncompressedSize = Le32(fixed + 24);
  const std::uint16_t nameLength = Le16(fixed + 28);
  const std::uint16_t extraLength = Le16(fixed + 30);
  const std::uint16_t commentLength = Le16(fixed + 32);
  record.externalAttributes = Le32(fixed + 38);
  record.localHeaderOffset = Le32(fixed + 42);
  const std::uint64_t length = kCentralFixedSize + std::uint64_t{nameLength} + extraLength + commentLength;
  if (end - position < length) return ZipResult::kReadError;
  record.name.resize(nameLength);
  if (!file.ReadAt(position + kCentralFixedSize, record.name.data(), nameLength)) return ZipResult::kReadError;
  record.next = position + length;
  return ZipResult::kOk;
}

ZipResult ReadLocalItem(const ArchiveFile& file, const DirectoryLocation& location, const CentralRecord& record,
                        LocalItem& item) {
  const std::uint64_t position = std::uint64_t{record.localHeaderOffset} + location.correction;
  unsigned char fixed[kLocalFixedSize];
  if (!file.ReadAt(position, fixed, sizeof fixed)) return ZipResult::kHeaderMismatch;
  if (Le32(fixed) != kLocalSignature) return ZipResult::kHeaderMismatch;
  const std::uint16_t flags = Le16(fixed + 6);
  const std::uint16_t method = Le16(fixed + 8);
  if (method != record.method || (method != kMethodStored && method != kMethodDeflated)) {
    return ZipResult::kHeaderMismatch;
  }
  // With a data descriptor the sizes and CRC follow the data, and the local header may hold zeros.
  if ((flags & kFlagDataDescriptor) == 0 &&
      (Le32(fixed + 14) != record.crc32 || Le32(fixed + 18) != record.compressedSize ||
       Le32(fixed + 22) != record.uncompressedSize)) {
    return ZipResult::kHeaderMismatch;
  }
  const std::uint16_t nameLength = Le16(fixed + 26);
  const std::uint16_t extraLength = Le16(fixed + 28);
  if (nameLength != record.name.size()) return ZipResult::kHeaderMismatch;
  const std::uint64_t extraStart = position + kLocalFixedSize + nameLength;
  item.extra.resize(extraLength);
  if (!file.ReadAt(extraStart, item.extra.data(), extraLength)) return ZipResult::kReadError;
  item.dataStart = extraStart + extraLength;
  return ZipResult::kOk;
}

std::string NameText(const CentralRecord& record, std::string_view stored) {
  if ((record.flags & kFlagUtf8Names) != 0) {
    std::string utf8(stored);
    // A name that only claims to be UTF-8 is read as the older archives are.
    if (platform::Utf16LeToUtf8(platform::Utf8ToUtf16Le(utf8)) == utf8) return utf8;
  }
  return platform::FromCodePage(stored);
}

}  // namespace zip
