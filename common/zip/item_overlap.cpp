#include "common/zip/item_overlap.h"

#include <algorithm>
#include <cstdint>

namespace zip {
namespace {

struct Span {
  std::uint64_t begin = 0;  // the local header
  std::uint64_t end = 0;    // just past the data
  std::int32_t index = 0;
};

}  // namespace

std::vector<bool> FindOverlappingItems(const ArchiveFile& file, const DirectoryLocation& location) {
  std::vector<bool> overlapping(static_cast<std::size_t>(location.count), false);
  std::vector<Span> spans;
  spans.reserve(overlapping.size());
  CentralRecord record;
  std::uint64_t position = location.firstRecord;
  for (std::int32_t i = 0; i < location.count; ++i) {
    if (ReadCentralRecord(file, position, location.end, record) != ZipResult::kOk) break;
    position = record.next;
    const std::uint64_t header = std::uint64_t{record.localHeaderOffset} + location.correction;
    unsigned char fixed[kLocalFixedSize];
    if (!file.ReadAt(header, fixed, sizeof fixed) || Le32(fixed) != kLocalSignature) continue;
    const std::uint64_t dataStart = header + kLocalFixedSize + Le16(fixed + 26) + Le16(fixed + 28);
    spans.push_back({header, dataStart + record.compressedSize, i});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin < b.begin; });
  // In order of their start, a span overlaps an earlier one exactly when it starts before the
  // furthest end so far; the span that reached that far overlaps it too. Every span is at least a
  // local header long, so every span that overlaps any other is marked this way.
  const Span* furthest = nullptr;
  for (const Span& span : spans) {
    if (furthest && span.begin < furthest->end) {
      overlapping[static_cast<std::size_t>(span.index)] = true;
      overlapping[static_cast<std::size_t>(furthest->index)] = true;
    }
    if (!furthest || span.end > furthest->end) furthest = &span;
  }
  return overlapping;
}

}  // namespace zip
