// The system's HID host over hidapi's hidraw backend. Enumeration reads what udev and sysfs know
// without opening any device, so looking for absent devices costs no device I/O.

#include <hidapi.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <mutex>

#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/hid/hid_host.h"
#include "platform/hid/report_descriptor.h"

namespace platform {
namespace {

// hidapi can wait on a read without limit, but cannot be woken; an unlimited read therefore waits in
// slices and looks at the cancel flag between them.
constexpr int kReadSliceMs = 250;

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

class HidapiDevice final : public HidDevice {
 public:
  HidapiDevice(hid_device* device, HidReportLayout layout) : device_(device), layout_(layout) {}
  ~HidapiDevice() override { hid_close(device_); }
  HidapiDevice(const HidapiDevice&) = delete;
  HidapiDevice& operator=(const HidapiDevice&) = delete;

  size_t InputReportLength() const override { return layout_.inputBytes; }
  size_t OutputReportLength() const override { return layout_.outputBytes; }

  // hidraw writes block in the kernel until the USB transfer ends or its own time-out passes;
  // hidapi offers no shorter bound, so timeoutMs is not applied here.
  HidTransfer Write(std::span<const uint8_t> report, int /*timeoutMs*/) override {
    if (cancelled_ || report.empty()) return {cancelled_ ? HidStatus::Cancelled : HidStatus::Failed, 0};
    int n = hid_write(device_, report.data(), report.size());
    if (n < 0) return {HidStatus::Failed, 0};
    return {HidStatus::Ok, static_cast<size_t>(n)};
  }

  HidTransfer Read(std::span<uint8_t> buffer, int timeoutMs) override {
    if (buffer.empty()) return {HidStatus::Failed, 0};
    // hidraw leaves out the id byte of unnumbered reports; put the 0 back so callers see the wire form.
    uint8_t* into = buffer.data();
    size_t room = buffer.size();
    if (!layout_.numbered) {
      buffer[0] = 0;
      ++into;
      --room;
    }
    int left = timeoutMs;
    for (;;) {
      if (cancelled_) return {HidStatus::Cancelled, 0};
      int slice = timeoutMs < 0 ? kReadSliceMs : std::min(left, kReadSliceMs);
      int n = room == 0 ? 0 : hid_read_timeout(device_, into, room, slice);
      if (n < 0) return {HidStatus::Failed, 0};
      if (n > 0) return {HidStatus::Ok, static_cast<size_t>(n) + (layout_.numbered ? 0 : 1)};
      if (timeoutMs >= 0) {
        left -= slice;
        if (left <= 0) return {HidStatus::TimedOut, 0};
      }
    }
  }

  void Cancel() override { cancelled_ = true; }

 private:
  hid_device* device_;
  HidReportLayout layout_;
  std::atomic<bool> cancelled_{false};
};

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

  std::unique_ptr<HidDevice> Open(const std::string& path) override {
    hid_device* device = hid_open_path(path.c_str());
    if (!device) return nullptr;
    return std::make_unique<HidapiDevice>(device, LayoutOf(path));
  }
};

}  // namespace

std::unique_ptr<HidHost> MakeSystemHidHost() { return std::make_unique<HidapiHost>(); }

}  // namespace platform
