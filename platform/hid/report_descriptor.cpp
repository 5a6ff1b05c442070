#include "platform/hid/report_descriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace platform {
namespace {

struct Globals {
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint32_t reportId = 0;
};

constexpr uint64_t kMaxBits = uint64_t{kMaxHidReportBytes - 1} * 8;

size_t BytesOf(const std::map<uint32_t, uint64_t>& bitsById) {
  if (bitsById.empty()) return 0;
  uint64_t longest = 0;
  for (const auto& [id, bits] : bitsById) longest = std::max(longest, bits);
  return static_cast<size_t>((std::min(longest, kMaxBits) + 7) / 8) + 1;
}

}  // namespace

HidReportLayout ParseReportDescriptor(std::span<const uint8_t> d) {
  constexpr uint8_t kMain = 0, kGlobal = 1;
  constexpr uint8_t kInput = 8, kOutput = 9;
  constexpr uint8_t kReportSize = 7, kReportId = 8, kReportCount = 9, kPush = 10, kPop = 11;
  // A descriptor that pushes without end would otherwise grow without bound.
  constexpr size_t kMaxPushDepth = 32;

  HidReportLayout layout;
  Globals g;
  std::vector<Globals> stack;
  std::map<uint32_t, uint64_t> inputBits, outputBits;

  size_t i = 0;
  while (i < d.size()) {
    uint8_t prefix = d[i];
    if (prefix == 0xFE) {  // long item: size byte, tag byte, data
      if (i + 1 >= d.size()) break;
      i += 3 + d[i + 1];
      continue;
    }
    static constexpr size_t kSizes[] = {0, 1, 2, 4};
    size_t size = kSizes[prefix & 3];
    if (i + 1 + size > d.size()) break;
    uint32_t value = 0;
    for (size_t k = 0; k < size; ++k) value |= uint32_t{d[i + 1 + k]} << (8 * k);
    uint8_t type = (prefix >> 2) & 3, tag = prefix >> 4;
    i += 1 + size;

    if (type == kGlobal) {
      switch (tag) {
        case kReportSize: g.reportSize = value; break;
        case kReportCount: g.reportCount = value; break;
        case kReportId:
          g.reportId = value;
          layout.numbered = true;
          break;
        case kPush:
          if (stack.size() < kMaxPushDepth) stack.push_back(g);
          break;
        case kPop:
          if (!stack.empty()) {
            g = stack.back();
            stack.pop_back();
          }
          break;
        default: break;
      }
    } else if (type == kMain && (tag == kInput || tag == kOutput)) {
      // Counted up to just beyond the longest report there can be, so the sum cannot wrap.
      uint64_t& sum = (tag == kInput ? inputBits : outputBits)[g.reportId];
      sum = std::min(sum + std::min(uint64_t{g.reportSize} * g.reportCount, kMaxBits + 1), kMaxBits + 1);
    }
  }
  layout.inputBytes = BytesOf(inputBits);
  layout.outputBytes = BytesOf(outputBits);
  return layout;
}

}  // namespace platform
