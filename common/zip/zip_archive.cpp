#include "common/zip/zip_archive.h"

#include "common/zip/item_path.h"
#include "common/zip/item_reader.h"
#include "common/zip/zip_reader.h"
#include "platform/codepage.h"

namespace {

// Deflate never packs more than about 1032 bytes of output into one byte of input: a claimed size
// beyond that is a lie, and is not given memory.
constexpr std::uint64_t kMaxDeflateRatio = 1032;

}  // namespace

ZipArchive::ZipArchive(std::unique_ptr<zip::ZipReader> reader) : reader_(std::move(reader)) {}

ZipArchive::~ZipArchive() = default;

std::unique_ptr<ZipArchive> ZipArchive::Open(const std::string& path) {
  ZipResult result = ZipResult::kOk;
  auto reader = zip::ZipReader::Open(path, result);
  if (!reader) return nullptr;
  std::unique_ptr<ZipArchive> archive(new ZipArchive(std::move(reader)));
  const zip::ZipReader& opened = *archive->reader_;
  zip::CentralRecord record;
  std::uint64_t position = opened.FirstRecord();
  for (std::int32_t i = 0; i < opened.Count(); ++i) {
    if (zip::ReadCentralRecord(opened.File(), position, opened.DirectoryEnd(), record) != ZipResult::kOk) {
      return nullptr;
    }
    archive->index_.try_emplace(zip::WithSlashes(zip::NameText(record, record.name)), i, position);
    position = record.next;
  }
  return archive;
}

std::size_t ZipArchive::ItemCount() const { return static_cast<std::size_t>(reader_->Count()); }

std::optional<std::string> ZipArchive::ReadItem(std::string_view name) const {
  auto found = index_.find(zip::WithSlashes(name));
  if (found == index_.end()) return std::nullopt;
  zip::DescribedItem described;
  if (reader_->DescribeAt(found->second.second, found->second.first, described) != ZipResult::kOk) {
    return std::nullopt;
  }
  const zip::CentralRecord& record = described.record;
  if (described.item.IsDirectory() || record.uncompressedSize > kMaxItemBytes) return std::nullopt;
  if (reader_->Overlaps(found->second.first)) return std::nullopt;
  if (record.uncompressedSize > std::uint64_t{record.compressedSize} * kMaxDeflateRatio + 1024) return std::nullopt;
  zip::ItemReader data(reader_->File(), record, described.dataStart);
  if (!data.Opened()) return std::nullopt;
  std::string bytes(record.uncompressedSize, '\0');
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    const std::ptrdiff_t got =
        data.Read(reinterpret_cast<unsigned char*>(bytes.data()) + filled, bytes.size() - filled);
    if (got <= 0) return std::nullopt;
    filled += static_cast<std::size_t>(got);
  }
  if (!data.Complete()) return std::nullopt;
  return bytes;
}
