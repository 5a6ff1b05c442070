#pragma once
// The scale receiver's 33-byte frames and the two acknowledgements the client writes back.

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>

#include "client/core/users/user_record.h"

inline constexpr size_t kScaleFrameBytes = 33;
using ScaleFrameBytes = std::array<uint8_t, kScaleFrameBytes>;

struct ScaleFrame {
  enum Kind : uint8_t { Live = 0x20, Stored = 0x30 };
  uint32_t deviceId = 0;
  float weight = 0.0f;         // kg
  uint32_t recordSeconds = 0;  // when a stored reading was taken, seconds since 2000 local
  uint8_t kind = 0;            // byte 5 AND 0x70: Live, Stored or something the client ignores
  uint8_t recordByte = 0;      // echoed in the acknowledgement of a stored frame
};

ScaleFrame DecodeScaleFrame(const ScaleFrameBytes& frame);

// The reading the main window keeps of a decoded frame, or nothing for a frame it drops: a live frame
// sets liveSeen (the live-frame latch) and is dated now, a stored frame is taken only once liveSeen
// is set and is dated by its record time; every other kind is dropped.
std::optional<WeightRecord> ReadingOf(const ScaleFrame& frame, bool& liveSeen, std::time_t now);

// Output reports (report id 0 first) acknowledging a live frame and a stored record; now is the
// PC's local time in seconds since 2000.
ScaleFrameBytes LiveAcknowledgement(uint32_t deviceId, uint32_t now);
ScaleFrameBytes StoredAcknowledgement(uint32_t deviceId, uint8_t recordByte, uint32_t now);
