#pragma once
// The HID host: what the client needs of the system's HID service to find and talk to the scale and
// the pedometer. Reports are exchanged in their wire form with the report id in byte 0 (0 for devices
// without numbered reports), so the device protocols read the same on every host. Hosts: the system's
// (MakeSystemHidHost, in hid_host_<platform>.cpp) and the simulators.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace platform {

// One present HID interface.
struct HidInterface {
  std::string path;          // what Open takes
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  int interfaceNumber = -1;  // USB interface number; -1 when the bus has none
  std::string serial;        // serial-number string, UTF-8; empty when the device has none
};

enum class HidStatus {
  Ok,
  TimedOut,   // nothing arrived or left within the time-out
  Cancelled,  // Cancel was called on the handle
  Failed,     // the device is gone or refused the transfer
};

struct HidTransfer {
  HidStatus status = HidStatus::Failed;
  size_t bytes = 0;  // bytes read or written when status is Ok
  bool ok() const { return status == HidStatus::Ok; }
};

// An open HID interface. Reads and writes may run on different threads of one handle only when the
// host says so; the client opens one handle per direction.
class HidDevice {
 public:
  virtual ~HidDevice() = default;

  // Report lengths in bytes, the report id byte included; 0 when unknown.
  virtual size_t InputReportLength() const = 0;
  virtual size_t OutputReportLength() const = 0;

  // Sends one output report (byte 0 the report id), waiting at most timeoutMs.
  virtual HidTransfer Write(std::span<const uint8_t> report, int timeoutMs) = 0;

  // Receives one input report into buffer (byte 0 the report id), cut to the buffer's size; waits at
  // most timeoutMs, or without limit when timeoutMs is negative.
  virtual HidTransfer Read(std::span<uint8_t> buffer, int timeoutMs) = 0;

  // From any thread: a Read in progress and every later transfer on this handle end with Cancelled.
  virtual void Cancel() = 0;
};

class HidHost {
 public:
  virtual ~HidHost() = default;

  // The present interfaces with these ids (0 matches any), in the order the system lists them.
  virtual std::vector<HidInterface> Enumerate(uint16_t vendorId, uint16_t productId) = 0;

  // Opens an interface for reading and writing; null when it is gone or not accessible.
  virtual std::unique_ptr<HidDevice> Open(const std::string& path) = 0;
};

// The system's HID service. Owned by the caller; one per process is enough.
std::unique_ptr<HidHost> MakeSystemHidHost();

}  // namespace platform
