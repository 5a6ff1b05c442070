#include "client/core/devices/pedometer_replies.h"

#include <algorithm>

namespace {

int FromBcd(uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }
bool IsBcd(uint8_t b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; }

}  // namespace

std::optional<std::array<uint8_t, kPedometerChunkBytes>> DecodeMemoryReply(std::span<const uint8_t> reply,
                                                                           uint16_t address) {
  // A short answer would read as zero bytes of memory; it is a failed read, not data.
  if (reply.size() < 3 + kPedometerChunkBytes) return std::nullopt;
  if (reply[0] != kPedometerReadMemory || reply[1] != (address >> 8) || reply[2] != (address & 0xFF)) {
    return std::nullopt;
  }
  std::array<uint8_t, kPedometerChunkBytes> data;
  std::copy_n(reply.begin() + 3, data.size(), data.begin());
  return data;
}

std::optional<std::tm> DecodeClockReply(std::span<const uint8_t> reply) {
  if (reply.size() < 7 || !std::all_of(reply.begin() + 1, reply.begin() + 7, IsBcd)) return std::nullopt;
  std::tm t{};
  t.tm_sec = FromBcd(reply[1]);
  t.tm_min = FromBcd(reply[2]);
  t.tm_hour = FromBcd(reply[3]);
  t.tm_mday = FromBcd(reply[4]);
  t.tm_mon = FromBcd(reply[5]) - 1;
  t.tm_year = FromBcd(reply[6]) + 100;
  t.tm_isdst = -1;
  return t;
}

int DecodeQueryReply(std::span<const uint8_t> reply) {
  if (reply.size() < 3 || reply[0] != kPedometerQuery || reply[2] != kPedometerQuery) return -1;
  return reply[1];
}

bool DecodeDayBlockDate(const std::array<uint8_t, 1024>& block, PedometerDay& day) {
  if (block[0] == 0xFF) return false;
  day.year = 2000 + FromBcd(block[0]);
  day.month = FromBcd(block[1]);
  day.day = FromBcd(block[2]);
  return true;
}
