#pragma once
// The fixed records of the ZIP format as this reader uses them, and how they are read from the file.

#include <cstdint>
#include <string>

#include "common/zip/archive_file.h"
#include "common/zip/zip_result.h"

namespace zip {

inline constexpr std::uint32_t kCentralSignature = 0x02014b50;
inline constexpr std::uint32_t kLocalSignature = 0x04034b50;
inline constexpr std::size_t kCentralFixedSize = 46;
inline constexpr std::size_t kLocalFixedSize = 30;
inline constexpr std::size_t kEndRecordSize = 22;
inline constexpr std::uint16_t kFlagEncrypted = 0x0001;
inline constexpr std::uint16_t kFlagDataDescriptor = 0x0008;
// The item's name (and comment) are UTF-8, not the code page.
inline constexpr std::uint16_t kFlagUtf8Names = 0x0800;
inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;

// The little-endian fields every ZIP record is made of, read from p onwards.
inline std::uint16_t Le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t Le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Where the central directory lies, after the end record has been found and checked.
struct DirectoryLocation {
  std::int32_t count = 0;
  // Added to every offset the archive stores: the bytes placed in front of it (a self-extracting stub).
  std::uint64_t correction = 0;
  std::uint64_t firstRecord = 0;  // file position of the first central record
  std::uint64_t end = 0;          // file position just past the central directory
};

// The fields of one central directory record that the reader uses.
struct CentralRecord {
  std::uint16_t flags = 0;
  std::uint16_t method = 0;
  std::uint32_t dosDateTime = 0;  // time in the low half, date in the high half
  std::uint32_t crc32 = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;
  std::uint32_t externalAttributes = 0;
  std::uint32_t localHeaderOffset = 0;
  std::string name;  // the stored bytes, whole
  // File position of the record that follows this one.
  std::uint64_t next = 0;
};

// What the local header adds to the central record.
// An item's stored name as text: archives that say so name their items in UTF-8 (as the build packs
// the skins, and tools of today do with names beyond ASCII), the others in the code page.
std::string NameText(const CentralRecord& record, std::string_view stored);

struct LocalItem {
  std::string extra;          // the local extra field
  std::uint64_t dataStart = 0;  // file position of the item's data
};

// Finds the end record in the last 64 KiB of the file and checks it names a single-disk archive whose
// directory lies before it. kReadError when there is none or it does not fit.
ZipResult LocateDirectory(const ArchiveFile& file, DirectoryLocation& location);

// Reads the central record at position, which must lie wholly before end. kReadError otherwise.
ZipResult ReadCentralRecord(const ArchiveFile& file, std::uint64_t position, std::uint64_t end,
                            CentralRecord& record);

// Reads the local header of record and checks it against it: kHeaderMismatch when it differs or
// names a method other than stored or deflated; kReadError when its extra field cannot be read.
ZipResult ReadLocalItem(const ArchiveFile& file, const DirectoryLocation& location, const CentralRecord& record,
                        LocalItem& item);

}  // namespace zip
