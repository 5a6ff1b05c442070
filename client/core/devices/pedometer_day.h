#pragma once
// One stored day read from the HID pedometer's memory.

#include <array>
#include <cstdint>

struct PedometerDay {
  uint32_t deviceId = 0;  // the pedometer's id; its code is "A1%.10u" of it
  int year = 0;
  int month = 0;
  int day = 0;
  std::array<uint8_t, 1024> data{};  // the day's data bytes as the device stores them
};
