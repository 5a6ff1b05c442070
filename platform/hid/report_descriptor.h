#pragma once
// Report lengths from a HID report descriptor: what the system's capabilities call the input and
// output report byte lengths, and whether reports carry an id byte of their own.

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// The longest report the kernel passes through hidraw, report id byte included; a descriptor that
// declares longer ones is taken as declaring reports this long, so that no buffer follows its word.
inline constexpr size_t kMaxHidReportBytes = 16384;

struct HidReportLayout {
  bool numbered = false;   // the descriptor declares report ids
  size_t inputBytes = 0;   // longest input report, the report id byte included (0: no input)
  size_t outputBytes = 0;  // longest output report, the report id byte included (0: no output)
};

// Reads the main and global items of descriptor; a truncated item ends the walk with what was
// counted so far. Lengths never exceed kMaxHidReportBytes.
HidReportLayout ParseReportDescriptor(std::span<const uint8_t> descriptor);

}  // namespace platform
