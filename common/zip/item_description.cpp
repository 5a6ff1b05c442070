#include "common/zip/item_description.h"

#include <chrono>

#include "platform/codepage.h"

namespace zip {
namespace {

constexpr std::uint16_t kExtendedTimestampId = 0x5455;  // "UT"
constexpr std::uint32_t kUnixDirectory = 0x40000000;
constexpr std::uint32_t kUnixOwnerWrite = 0x00800000;

const unsigned char* BytesAt(std::string_view bytes, std::size_t at) {
  return reinterpret_cast<const unsigned char*>(bytes.data() + at);
}

// GBK characters are one byte below 0x81 and two bytes otherwise; the cut never splits one.
std::string_view CutName(std::string_view name) {
  if (name.size() <= kMaxNameBytes) return name;
  std::size_t i = 0;
  while (i < name.size()) {
    std::size_t length = static_cast<unsigned char>(name[i]) >= 0x81 ? 2 : 1;
    if (i + length > kMaxNameBytes) break;
    i += length;
  }
  return name.substr(0, i);
}

// Takes the times an extended timestamp block carries, in the order its flags announce them; a time
// that does not fit inside the block is ignored.
void ApplyExtendedTimestamp(std::string_view extra, ZipItem& item) {
  std::size_t at = 0;
  while (extra.size() - at > 4) {
    const std::uint16_t id = Le16(BytesAt(extra, at));
    const std::size_t size = Le16(BytesAt(extra, at + 2));
    at += 4;
    if (id == kExtendedTimestampId) {
      std::string_view data = extra.substr(at, size);
      if (data.empty()) return;
      const auto flags = static_cast<unsigned char>(data[0]);
      std::size_t next = 1;
      ZipFileTime* targets[] = {&item.modificationTime, &item.accessTime, &item.creationTime};
      for (int bit = 0; bit < 3; ++bit) {
        if ((flags & (1u << bit)) == 0) continue;
        if (data.size() - next < 4) return;
        *targets[bit] = Le32(BytesAt(data, next));
        next += 4;
      }
      return;
    }
    if (size > extra.size() - at) return;
    at += size;
  }
}

}  // namespace

std::uint32_t AttributesFrom(std::uint32_t external) {
  std::uint32_t attributes = zip_attribute::kNormal;
  if ((external & kUnixDirectory) != 0 || (external & zip_attribute::kDirectory) != 0) {
    attributes |= zip_attribute::kDirectory;
  }
  if ((external & zip_attribute::kArchive) != 0) attributes |= zip_attribute::kArchive;
  if ((external & zip_attribute::kHidden) != 0) attributes |= zip_attribute::kHidden;
  if ((external & zip_attribute::kSystem) != 0) attributes |= zip_attribute::kSystem;
  // Archives made on DOS or Windows carry no Unix mode, so their items all come out read-only.
  if ((external & kUnixOwnerWrite) == 0 || (external & zip_attribute::kReadOnly) != 0) {
    attributes |= zip_attribute::kReadOnly;
  }
  return attributes;
}

ZipFileTime DosTimeToFileTime(std::uint32_t dosDateTime) {
  const unsigned time = dosDateTime & 0xFFFF;
  const unsigned date = dosDateTime >> 16;
  const unsigned hour = time >> 11, minute = (time >> 5) & 63, second = (time & 31) * 2;
  const std::chrono::year_month_day day{std::chrono::year(1980 + static_cast<int>(date >> 9)),
                                        std::chrono::month((date >> 5) & 15), std::chrono::day(date & 31)};
  if (!day.ok() || hour > 23 || minute > 59 || second > 59) return 0;
  const auto days = std::chrono::sys_days(day).time_since_epoch().count();
  return days * 86400 + hour * 3600 + minute * 60 + second;
}

ZipItem DescribeItem(std::int32_t index, const CentralRecord& record, std::string_view localExtra) {
  ZipItem item;
  item.index = index;
  item.name = NameText(record, CutName(record.name));
  item.attributes = AttributesFrom(record.externalAttributes);
  item.modificationTime = item.accessTime = item.creationTime = DosTimeToFileTime(record.dosDateTime);
  ApplyExtendedTimestamp(localExtra, item);
  item.compressedSize = record.compressedSize;
  item.uncompressedSize = record.uncompressedSize;
  return item;
}

}  // namespace zip
