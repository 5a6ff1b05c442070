#pragma once
// Turns the stored fields of an item into its ZipItem: name, attributes and times.

#include <cstdint>
#include <string_view>

#include "common/zip/zip_item.h"
#include "common/zip/zip_records.h"

namespace zip {

// Names longer than this are cut; the rest of the stored name is not part of the description.
inline constexpr std::size_t kMaxNameBytes = 259;

ZipItem DescribeItem(std::int32_t index, const CentralRecord& record, std::string_view localExtra);

// The attribute bits for an item's external attributes.
std::uint32_t AttributesFrom(std::uint32_t externalAttributes);

// A DOS date and time (time in the low half) as seconds since 1970, read as UTC; 0 when a field is
// out of range.
ZipFileTime DosTimeToFileTime(std::uint32_t dosDateTime);

}  // namespace zip
