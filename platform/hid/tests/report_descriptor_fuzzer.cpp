// Reads fuzzed bytes as a HID report descriptor, as the system host reads a device's from sysfs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/hid/report_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::HidReportLayout layout = platform::ParseReportDescriptor(std::span<const uint8_t>(data, size));
  // Buffers are sized by these lengths: they must stay within what hidraw can pass.
  if (layout.inputBytes > platform::kMaxHidReportBytes || layout.outputBytes > platform::kMaxHidReportBytes) {
    std::abort();
  }
  return 0;
}
