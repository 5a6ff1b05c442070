#pragma once
// ZipExtractor: unpacks the items of a ZIP archive to disk with their attributes and times. It holds
// at most one open archive (the handle); items are described and extracted one at a time, streamed
// through fixed buffers, so the archive is never loaded whole. One thread uses an extractor at a time.
//
// Stored names and relative targets never lead out of the folder they are unpacked into: names that
// are rooted, carry a drive letter or climb with "..", and targets that climb, are refused with
// ZipResult::kOpenFailed. So are, on every platform, names Windows takes for something else: devices
// ("CON", "aux.txt"), streams ("name:stream") and names ending in a dot or a space. Items are always
// written as regular files, never as symbolic links, and never through one (nor, on Windows, through
// a junction or other reparse point): a link on the way below the base folder (or, for an absolute
// target, below the folder its caller named) fails the item with kOpenFailed. Items laid over the
// bytes of another item are refused with kDataError.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "common/zip/made_folders.h"
#include "common/zip/zip_item.h"
#include "common/zip/zip_result.h"
#include "platform/unique_fd.h"

namespace zip {
class ZipReader;
}

class ZipExtractor {
 public:
  ZipExtractor();
  // Closes the archive if one is still open.
  ~ZipExtractor();
  ZipExtractor(const ZipExtractor&) = delete;
  ZipExtractor& operator=(const ZipExtractor&) = delete;

  // Opens the archive at path and reads its directory. The current folder now becomes the base folder
  // that directory items and relative targets are unpacked into. kAlreadyOpen when an archive is open;
  // kOpenFailed when the file cannot be opened; kReadError when it is not a regular file holding a
  // single-disk archive. On failure nothing stays open.
  ZipResult OpenArchive(const std::string& path);
  bool IsOpen() const { return reader_ != nullptr; }

  // Describes item index into item; index -1 gives only the number of items (in item.index).
  // kBadArgument when no archive is open or index is out of range; kHeaderMismatch when the item's
  // local header disagrees with the directory; kReadError when the directory cannot be read.
  ZipResult GetItem(std::int32_t index, ZipItem& item);

  // Writes item index to targetPath ("/" and "\" both separate folders; relative paths resolve
  // against the base folder, whose missing folders are made first), or creates the folder of a
  // directory item below the base folder (targetPath unused). kOpenFailed when the target cannot
  // be created or a name is refused; kDataError when the data overlaps another item's (nothing is
  // written then), is damaged (including a CRC-32 mismatch) or cannot be written, the target then
  // left as far as it was written; the codes of GetItem otherwise. A failure leaves the archive
  // usable for the next item.
  ZipResult ExtractItem(std::int32_t index, const std::string& targetPath);

  // Closes the archive. kBadArgument when none is open.
  ZipResult CloseArchive();

 private:
  ZipResult ExtractFolder(const ZipItem& item);

  std::unique_ptr<zip::ZipReader> reader_;
  platform::UniqueFd baseFd_;
  // Folders below the base folder made or entered so far, for the items that follow in them.
  zip::MadeFolders folders_;
  // Where item data passes on its way to the file; taken at opening, for every item.
  std::unique_ptr<unsigned char[]> chunk_;
};
