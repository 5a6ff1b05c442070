#pragma once
// The description of one archive item, as GetItem hands it out.

#include <cstdint>
#include <string>

// Seconds since 1970-01-01 00:00 UTC.
using ZipFileTime = std::int64_t;

// Attribute bits of an item, in the values the archives' makers used.
namespace zip_attribute {
inline constexpr std::uint32_t kReadOnly = 0x01;
inline constexpr std::uint32_t kHidden = 0x02;
inline constexpr std::uint32_t kSystem = 0x04;
inline constexpr std::uint32_t kDirectory = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kNormal = 0x80;
}  // namespace zip_attribute

struct ZipItem {
  // The item's position in the directory; for the request with index -1, the number of items.
  std::int32_t index = 0;
  // The stored name (at most 259 bytes of it) taken as GBK, in UTF-8; separators as stored.
  std::string name;
  // zip_attribute bits. Windows gives them to the file; on Linux hidden and system have no meaning
  // and live only here, and read-only takes the write bits away.
  std::uint32_t attributes = 0;
  ZipFileTime accessTime = 0;
  // Given to the file on Windows; kept for callers on Linux, which cannot give a file a creation time.
  ZipFileTime creationTime = 0;
  ZipFileTime modificationTime = 0;
  std::uint32_t compressedSize = 0;
  std::uint32_t uncompressedSize = 0;

  bool IsDirectory() const { return (attributes & zip_attribute::kDirectory) != 0; }
  bool IsReadOnly() const { return (attributes & zip_attribute::kReadOnly) != 0; }
};
