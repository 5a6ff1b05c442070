#pragma once
// ZipArchive: an archive opened once and read item by item into memory, for programs that take
// their files straight out of an archive (skins from "res.zip"). Items are found by name through
// an index built at opening. One thread uses an archive at a time.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zip {
class ZipReader;
}

class ZipArchive {
 public:
  // Items larger than this are not read into memory.
  static constexpr std::uint32_t kMaxItemBytes = std::uint32_t{256} << 20;

  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  // Opens the archive at path once for many reads; null when it is not a readable single-disk archive.
  static std::unique_ptr<ZipArchive> Open(const std::string& path);

  // The bytes of the item stored under name ("/" and "\" both separate folders, case as stored);
  // nothing when there is no such item or its data is damaged (bad CRC, unsupported method).
  // Folders, items larger than kMaxItemBytes and items laid over another's bytes give nothing as
  // well. When two items share a name, the first one counts.
  std::optional<std::string> ReadItem(std::string_view name) const;

  // Number of items in the archive.
  std::size_t ItemCount() const;

 private:
  explicit ZipArchive(std::unique_ptr<zip::ZipReader> reader);

  std::unique_ptr<zip::ZipReader> reader_;
  // Name with "/" separators → (index, position of its central record).
  std::unordered_map<std::string, std::pair<std::int32_t, std::uint64_t>> index_;
};
