#pragma once
// The HID pedometer as the client sees it: a 64 KiB memory read 60 bytes at a time, its id at
// 0xFC00, up to 30 day blocks of 1024 bytes from 0x8000, a BCD clock, Clear days, Query and the two
// forms of the profile command.

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "sim/sim_device.h"

namespace sim {

class SimPedometer final : public SimDevice {
 public:
  static constexpr uint16_t kVendorId = 0x9456;
  static constexpr uint16_t kProductId = 0x0001;
  static constexpr size_t kReportBytes = 65;
  static constexpr int kMaxDays = 30;
  static constexpr uint16_t kIdAddress = 0xFC00;
  static constexpr uint16_t kDaysAddress = 0x8000;
  static constexpr size_t kBlockBytes = 0x400;

  explicit SimPedometer(uint32_t id, std::string path = "sim:pedometer");

  // Appends a day block dated year-month-day (BCD in its first three bytes), the rest filled with
  // fill; false when 30 blocks are stored.
  bool AddDay(int year, int month, int day, uint8_t fill = 0x11);
  int DayCount() const;
  std::array<uint8_t, kBlockBytes> Block(int n) const;

  // The device clock; it stands still between commands.
  void SetClock(const std::tm& local);
  std::tm Clock() const;

  // What Query answers; nothing makes it answer with a reply that is not an echo.
  void SetQueryValue(std::optional<uint8_t> value);
  // The next n memory reads echo a wrong address.
  void CorruptEchoes(int n);
  // The byte the clock reply carries before its BCD fields (0x64, the command's echo, by default).
  void SetClockReplyHead(uint8_t head);

  struct Profile {
    bool longForm = false;
    uint8_t weight = 0, height = 0, goal = 0, unit = 0;
    uint32_t userId = 0;
  };
  std::optional<Profile> LastProfile() const;
  std::vector<int> Clears() const;   // the n of every Clear days received, in order
  int ClockSets() const;
  int MemoryReads() const;

 private:
  void OnOutputReport(std::span<const uint8_t> report) override;
  void Reply(std::initializer_list<uint8_t> head, std::span<const uint8_t> tail = {});

  std::array<uint8_t, 0x10000> memory_;
  int days_ = 0;
  std::tm clock_{};
  std::optional<uint8_t> query_ = 2;
  int corruptEchoes_ = 0;
  uint8_t clockReplyHead_ = 0x64;
  std::optional<Profile> profile_;
  std::vector<int> clears_;
  int clockSets_ = 0;
  int memoryReads_ = 0;
};

}  // namespace sim
