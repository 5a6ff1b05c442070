#include "common/zip/zip_extractor.h"

#include <cerrno>

#include <new>

#include "common/zip/item_path.h"
#include "common/zip/item_reader.h"
#include "common/zip/target_file.h"
#include "common/zip/zip_reader.h"

ZipExtractor::ZipExtractor() = default;

ZipExtractor::~ZipExtractor() { CloseArchive(); }

ZipResult ZipExtractor::OpenArchive(const std::string& path) {
  if (reader_) return ZipResult::kAlreadyOpen;
  ZipResult result = ZipResult::kOk;
  auto reader = zip::ZipReader::Open(path, result);
  if (!reader) return result;
  // Held open, so that folders and files of relative names land in the folder that was current at
  // opening even if the process changes its current folder later.
  platform::UniqueFd baseFd = zip::OpenFolder(".");
  if (!baseFd) return ZipResult::kOpenFailed;
  std::unique_ptr<unsigned char[]> chunk(new (std::nothrow) unsigned char[zip::kChunkSize]);
  if (!chunk) return ZipResult::kOpenFailed;
  chunk_ = std::move(chunk);
  reader_ = std::move(reader);
  baseFd_ = std::move(baseFd);
  return ZipResult::kOk;
}

ZipResult ZipExtractor::CloseArchive() {
  if (!reader_) return ZipResult::kBadArgument;
  reader_.reset();
  folders_.Clear();
  baseFd_.Close();
  chunk_.reset();
  return ZipResult::kOk;
}

ZipResult ZipExtractor::GetItem(std::int32_t index, ZipItem& item) {
  if (!reader_) return ZipResult::kBadArgument;
  if (index == -1) {
    item = ZipItem{};
    item.index = reader_->Count();
    return ZipResult::kOk;
  }
  const zip::DescribedItem* described = nullptr;
  ZipResult result = reader_->Describe(index, described);
  if (result == ZipResult::kOk) item = described->item;
  return result;
}

ZipResult ZipExtractor::ExtractFolder(const ZipItem& item) {
  return folders_.Open(baseFd_.get(), zip::WithSlashes(item.name)) >= 0 ? ZipResult::kOk : ZipResult::kOpenFailed;
}

ZipResult ZipExtractor::ExtractItem(std::int32_t index, const std::string& targetPath) {
  if (!reader_) return ZipResult::kBadArgument;
  const zip::DescribedItem* described = nullptr;
  ZipResult result = reader_->Describe(index, described);
  if (result != ZipResult::kOk) return result;
  const ZipItem& item = described->item;
  if (!zip::IsContainedName(item.name)) return ZipResult::kOpenFailed;
  if (item.IsDirectory()) return ExtractFolder(item);
  // Refused before anything is made: nothing of an item laid over another's bytes is written.
  if (reader_->Overlaps(index)) return ZipResult::kDataError;

  const std::string target = zip::WithSlashes(targetPath);
  if (zip::ClimbsOut(target) || (zip::HasDriveLetter(target) && !zip::IsAbsoluteTarget(target))) {
    return ZipResult::kOpenFailed;
  }
  std::optional<zip::TargetPlace> place = zip::PlaceTarget(baseFd_.get(), folders_, target, zip::WithSlashes(item.name));
  if (!place) return ZipResult::kOpenFailed;
  // Data that cannot be read at all (encrypted, an unknown method) is refused before the target is
  // made: a refusal leaves no empty file behind for the caller to mistake for the item.
  zip::ItemReader data(reader_->File(), described->record, described->dataStart);
  if (!data.Opened()) return ZipResult::kDataError;
  auto file = zip::TargetFile::Create(place->folder, place->below, item.IsReadOnly());
  if (!file && errno == ENOENT) {
    // A held folder may have been removed since it was made: its path is walked and made again.
    folders_.Clear();
    place = zip::PlaceTarget(baseFd_.get(), folders_, target, zip::WithSlashes(item.name));
    if (place) file = zip::TargetFile::Create(place->folder, place->below, item.IsReadOnly());
  }
  if (!file) return ZipResult::kOpenFailed;
  for (;;) {
    const std::ptrdiff_t got = data.Read(chunk_.get(), data.PreferredChunkSize());
    if (got < 0) return ZipResult::kDataError;
    if (got == 0) break;
    if (!file->Write(chunk_.get(), static_cast<std::size_t>(got))) return ZipResult::kDataError;
  }
  // Every byte arrived, but a damaged archive shows only in the checksum.
  if (!data.Complete()) return ZipResult::kDataError;
  return file->Finish(item) ? ZipResult::kOk : ZipResult::kDataError;
}
