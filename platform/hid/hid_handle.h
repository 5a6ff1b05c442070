#pragma once
// Windows only (hid_handle_windows.cpp), part of the Windows HID host. An open HID device handle driven
// with overlapped reads and writes, each wait bounded and ended early by Cancel. A read that times out
// stays pending, so a report that arrives afterwards is the next Read's; a write that times out is
// cancelled, and the next write waits (within its own time) until the system has let go of it.

#include <windows.h>

#include <memory>
#include <utility>

#include "platform/hid/hid_host.h"

namespace platform {

// Owns a handle of the system's and closes it once; an invalid value (null or
// INVALID_HANDLE_VALUE) is no handle.
class OwnedWinHandle {
 public:
  OwnedWinHandle() = default;
  explicit OwnedWinHandle(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~OwnedWinHandle() { Close(); }
  OwnedWinHandle(OwnedWinHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  OwnedWinHandle& operator=(OwnedWinHandle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  OwnedWinHandle(const OwnedWinHandle&) = delete;
  OwnedWinHandle& operator=(const OwnedWinHandle&) = delete;

  explicit operator bool() const { return handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  void Close() {
    if (handle_) CloseHandle(std::exchange(handle_, nullptr));
  }

 private:
  HANDLE handle_ = nullptr;
};

// Report lengths as the system's capabilities give them, the report id byte included.
struct HidReportLengths {
  size_t input = 0;
  size_t output = 0;
};

// Drives file, a handle opened for reading and writing with FILE_FLAG_OVERLAPPED that moves whole
// reports (a HID device, or in tests a message pipe standing in for one). Reads take input-length
// reports and hand them over with byte 0 the report id, as the system gives them; writes are
// padded with zeros to the output length, which the system asks for; a device without input (or
// output) reports fails every read (or write). Null when file is not open.
std::unique_ptr<HidDevice> MakeHidHandleDevice(OwnedWinHandle file, HidReportLengths lengths);

}  // namespace platform
