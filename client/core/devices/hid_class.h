#pragma once
// CHIDClass: the HID pedometer. Every command opens the device afresh, sends one report and, where
// the device answers, reads one back; the busy flag keeps a second command from starting while one
// runs (all callers are on the main-window thread, so it guards against re-entry, not threads).

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "client/core/devices/pedometer_day.h"
#include "client/core/devices/wall_clock.h"
#include "platform/hid/hid_host.h"

class CHIDClass {
 public:
  static constexpr uint16_t kVendorId = 0x9456;
  static constexpr uint16_t kProductId = 0x0001;
  static constexpr int kMaxDays = 30;
  static constexpr int kWriteTimeoutMs = 20;
  static constexpr int kReadTimeoutMs = 80;

  // host and clock must outlive the object.
  CHIDClass(platform::HidHost& host, const WallClock& clock);

  // Closes what is open and opens the first pedometer present; false when there is none.
  bool Open();
  // Sends data (at most 64 bytes) as one output report; false on failure or time-out, which also
  // closes the device.
  bool Write(std::span<const uint8_t> data);
  // One input report without its id byte (zero-filled to 64); nothing on failure or time-out, which
  // also closes the device. length receives how many bytes the device sent after the id.
  std::optional<std::array<uint8_t, 64>> Read(size_t* length = nullptr);

  // Commands. Each fails at once while another runs, and when no pedometer is found.
  std::optional<std::array<uint8_t, 60>> ReadMemory(uint16_t address);
  bool ReadId();  // keeps the id as LastDeviceId
  std::optional<std::tm> GetClock();
  bool SetClock();  // to the PC's local time
  bool ClearDays(int count);
  bool SetProfileShort(uint8_t weight, uint8_t height, uint8_t goal, uint32_t userId);
  bool SetProfileLong(uint8_t weight, uint8_t height, uint8_t goal, uint8_t unit, uint32_t userId);
  // On the handles already open, without the busy flag: the device's value, or -1.
  int Query();

  // Reads every stored day block into Days(), then sets the clock; the count, or nothing when not
  // connected or a read failed.
  std::optional<int> ReadDays();
  // After a new binding: reads the days and clears all but the last, then sets the clock.
  void ClearAfterBinding();

  const std::vector<PedometerDay>& Days() const { return days_; }
  bool Connected() const { return connected_; }
  bool Busy() const { return busy_; }
  uint32_t LastDeviceId() const { return lastDeviceId_; }

  // "A1%.10u": the code the pedometer is bound by.
  static std::string IdText(uint32_t id);

 private:
  class Command;
  void Close();
  // After a failed transfer on failed (one of the two handles): cancels it, closes, not connected.
  void GiveUp(platform::HidDevice& failed);
  bool Send(std::initializer_list<uint8_t> bytes);
  std::optional<std::array<uint8_t, 60>> ReadMemoryOnce(uint16_t address);

  platform::HidHost& host_;
  const WallClock& clock_;
  std::unique_ptr<platform::HidDevice> readHandle_;
  std::unique_ptr<platform::HidDevice> writeHandle_;
  size_t outputLength_ = 0;
  size_t inputLength_ = 0;
  bool connected_ = false;
  bool busy_ = false;
  uint32_t lastDeviceId_ = 0;
  std::vector<PedometerDay> days_;
};
