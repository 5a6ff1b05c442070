// The system's HID host on Linux: hidapi's hidraw backend enumerates, reading what udev and sysfs know
// without opening any device, so looking for absent devices costs no device I/O; the opened hidraw
// nodes are driven by our own layer, whose waits are bounded.

#include <hidapi.h>

#include <cwchar>
#include <mutex>

#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/hid/hid_host.h"
#include "platform/hid/hid_node.h"
#include "platform/hid/report_descriptor.h"

namespace platform {
namespace {

std::string WideToUtf8(const wchar_t* text) {
  std::string out;
  if (!text) return out;
  for (; *text; ++text) {
    if (!AppendUtf8(out, static_cast<char32_t>(*text))) out += '?';
  }
  return out;
}

// "/dev/hidraw3" → the report descriptor sysfs keeps for that node.
HidReportLayout LayoutOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string node = slash == std::string::npos ? path : path.substr(slash + 1);
  auto bytes = ReadWholeFile("/sys/class/hidraw/" + node + "/device/report_descriptor", 4096);
  if (!bytes) return {};
  return ParseReportDescriptor(
      std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
}

class HidapiHost final : public HidHost {
 public:
  HidapiHost() {
    static std::once_flag once;
    std::call_once(once, [] { hid_init(); });
  }

  std::vector<HidInterface> Enumerate(uint16_t vendorId, uint16_t productId) override {
    std::vector<HidInterface> found;
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* info = list; info; info = info->next) {
      HidInterface one;
      one.path = info->path ? info->path : "";
      one.vendorId = info->vendor_id;
      one.productId = info->product_id;
      one.interfaceNumber = info->interface_number;
      one.serial = WideToUtf8(info->serial_number);
      found.push_back(std::move(one));
    }
    hid_free_enumeration(list);
    return found;
  }

  // hidapi's own transfers cannot bound a write; the node is driven by our own layer instead.
  std::unique_ptr<HidDevice> Open(const std::string& path) override { return OpenHidrawNode(path, LayoutOf(path)); }
};

}  // namespace

std::unique_ptr<HidHost> MakeSystemHidHost() { return std::make_unique<HidapiHost>(); }

}  // namespace platform
