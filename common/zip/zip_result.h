#pragma once
// Result codes of the ZIP operations. The values are fixed: callers compare against them.

#include <cstdint>

enum class ZipResult : std::uint32_t {
  kOk = 0,
  kOpenFailed = 0x200,         // a file could not be opened or created, or a name was refused
  kDataError = 0x400,          // the item's data could not be read, was damaged, or the target write failed
  kHeaderMismatch = 0x700,     // the item's local header does not match its central record
  kReadError = 0x800,          // a read error, or the file is not a seekable single-disk archive
  kBadArgument = 0x10000,      // no archive open, or the index is out of range
  kNotForReading = 0x80000,    // the handle is not an archive opened for reading (never made by this reader)
  kAlreadyOpen = 0x1000000,    // an archive is already open on this extractor
};
