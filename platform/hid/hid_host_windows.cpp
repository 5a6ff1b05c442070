// The system's HID host on Windows: the device-setup service lists the present interfaces of the HID
// class, the HID service tells their ids, serial strings and report lengths, and the opened
// devices are driven with overlapped transfers (hid_handle_windows.cpp).

#include <windows.h>
// After windows.h, which they need; MinGW's HID header declares its functions without C linkage.
extern "C" {
#include <hidsdi.h>
}
#include <setupapi.h>

#include <cwctype>
#include <string>
#include <vector>

#include "platform/hid/hid_handle.h"
#include "platform/hid/hid_host.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

// Bounds on what the system lists: interfaces looked at, and the length of a device path.
constexpr DWORD kMaxInterfaces = 1024;
constexpr DWORD kMaxDetailBytes = 64 * 1024;
// A USB string descriptor holds at most 126 UTF-16 units; the HID service wants the room in bytes.
constexpr size_t kSerialUnits = 127;

// "...&mi_01#..." in a composite USB device's path: its interface number; -1 without one.
int InterfaceNumberOf(const std::wstring& path) {
  std::wstring lower = path;
  for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
  size_t at = lower.find(L"&mi_");
  if (at == std::wstring::npos || at + 6 > lower.size()) return -1;
  int number = 0;
  for (size_t i = at + 4; i < at + 6; ++i) {
    wchar_t c = lower[i];
    int digit = c >= L'0' && c <= L'9' ? c - L'0' : c >= L'a' && c <= L'f' ? c - L'a' + 10 : -1;
    if (digit < 0) return -1;
    number = number * 16 + digit;
  }
  return number;
}

// The device-setup service's list of present HID interfaces, destroyed once.
class InterfaceSet {
 public:
  explicit InterfaceSet(const GUID& hidClass)
      : set_(SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE)) {}
  ~InterfaceSet() {
    if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
  }
  InterfaceSet(const InterfaceSet&) = delete;
  InterfaceSet& operator=(const InterfaceSet&) = delete;

  bool ok() const { return set_ != INVALID_HANDLE_VALUE; }
  // The path of the index-th interface; false after the last.
  bool Path(const GUID& hidClass, DWORD index, std::wstring& path) const;

 private:
  HDEVINFO set_;
};

bool InterfaceSet::Path(const GUID& hidClass, DWORD index, std::wstring& path) const {
  path.clear();
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof data;
  if (!SetupDiEnumDeviceInterfaces(set_, nullptr, &hidClass, index, &data)) return false;
  DWORD size = 0;
  SetupDiGetDeviceInterfaceDetailW(set_, &data, nullptr, 0, &size, nullptr);
  if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) || size > kMaxDetailBytes) return true;  // skipped
  // Held in DWORDs for the alignment the structure wants.
  std::vector<DWORD> room((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(room.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  if (SetupDiGetDeviceInterfaceDetailW(set_, &data, detail, size, nullptr, nullptr)) path = detail->DevicePath;
  return true;
}

class WindowsHidHost final : public HidHost {
 public:
  std::vector<HidInterface> Enumerate(uint16_t vendorId, uint16_t productId) override;
  std::unique_ptr<HidDevice> Open(const std::string& path) override;
};

std::vector<HidInterface> WindowsHidHost::Enumerate(uint16_t vendorId, uint16_t productId) {
  std::vector<HidInterface> found;
  GUID hidClass;
  HidD_GetHidGuid(&hidClass);
  InterfaceSet set(hidClass);
  if (!set.ok()) return found;
  std::wstring path;
  for (DWORD i = 0; i < kMaxInterfaces && set.Path(hidClass, i, path); ++i) {
    if (path.empty()) continue;
    // Opened without access: enough to ask the HID service, and allowed even for the keyboards and
    // mice the system keeps to itself.
    OwnedWinHandle device(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device) continue;
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!HidD_GetAttributes(device.get(), &attributes)) continue;
    if ((vendorId && attributes.VendorID != vendorId) || (productId && attributes.ProductID != productId)) continue;
    HidInterface one;
    one.path = Narrow(path);
    one.vendorId = attributes.VendorID;
    one.productId = attributes.ProductID;
    one.interfaceNumber = InterfaceNumberOf(path);
    // Asked of the device itself, so only of the ones asked for.
    wchar_t serial[kSerialUnits] = {};
    if (HidD_GetSerialNumberString(device.get(), serial, sizeof serial - sizeof(wchar_t))) one.serial = Narrow(serial);
    found.push_back(std::move(one));
  }
  return found;
}

std::unique_ptr<HidDevice> WindowsHidHost::Open(const std::string& path) {
  if (path.empty()) return nullptr;
  std::wstring wide = Widen(path);
  OwnedWinHandle device(CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
  if (!device) return nullptr;
  // Anything but a HID device has no preparsed data.
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!HidD_GetPreparsedData(device.get(), &preparsed)) return nullptr;
  HIDP_CAPS caps{};
  NTSTATUS status = HidP_GetCaps(preparsed, &caps);
  HidD_FreePreparsedData(preparsed);
  if (status != HIDP_STATUS_SUCCESS) return nullptr;
  return MakeHidHandleDevice(std::move(device), {caps.InputReportByteLength, caps.OutputReportByteLength});
}

}  // namespace

std::unique_ptr<HidHost> MakeSystemHidHost() { return std::make_unique<WindowsHidHost>(); }

}  // namespace platform
