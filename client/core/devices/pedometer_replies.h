#pragma once
// The HID pedometer's replies, decoded: the bytes after the report id as they came (reply.size() is
// what the device sent). Each decoder accepts only a whole, well-formed reply.

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>

#include "client/core/devices/pedometer_day.h"

inline constexpr uint8_t kPedometerReadMemory = 0xB1;
inline constexpr uint8_t kPedometerGetClock = 0x64;
inline constexpr uint8_t kPedometerQuery = 0x84;
inline constexpr size_t kPedometerChunkBytes = 60;

// Read memory: the 60 data bytes after the echo of command and address; nothing when an echo byte
// differs or the reply is shorter than the echo and all 60 bytes.
std::optional<std::array<uint8_t, kPedometerChunkBytes>> DecodeMemoryReply(std::span<const uint8_t> reply,
                                                                           uint16_t address);

// Get clock: the local calendar fields of bytes 1 to 6 (second, minute, hour, day, month, year − 2000,
// all BCD); byte 0 carries nothing the client relies on. Nothing when a byte is not BCD or missing.
std::optional<std::tm> DecodeClockReply(std::span<const uint8_t> reply);

// Query: the value between two echoes of the command; -1 when the reply is not that.
int DecodeQueryReply(std::span<const uint8_t> reply);

// The date of a day block (BCD year − 2000, month and day in its first three bytes); false for the
// empty block (first byte FF) that ends the stored days.
bool DecodeDayBlockDate(const std::array<uint8_t, 1024>& block, PedometerDay& day);
