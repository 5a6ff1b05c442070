// Feeds fuzzed bytes to the scale frame decoder as the main window takes frames: 33 bytes at a time,
// each decoded, turned into a reading and acknowledged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "client/core/devices/scale_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A fixed "now" in 2024 keeps runs repeatable.
  constexpr std::time_t kNow = 1716193800;
  bool liveSeen = false;
  for (size_t at = 0; at + kScaleFrameBytes <= size; at += kScaleFrameBytes) {
    ScaleFrameBytes bytes;
    std::copy_n(data + at, kScaleFrameBytes, bytes.begin());
    ScaleFrame frame = DecodeScaleFrame(bytes);
    bool latchBefore = liveSeen;
    std::optional<WeightRecord> reading = ReadingOf(frame, liveSeen, kNow);
    if (reading) {
      bool acceptedKind = frame.kind == ScaleFrame::Live || (frame.kind == ScaleFrame::Stored && latchBefore);
      if (!acceptedKind || reading->time.empty() || reading->time.size() > 16 || reading->exacttime.size() > 32 ||
          !(reading->weight >= 0.0f && reading->weight <= 6553.5f)) {
        std::abort();
      }
    }
    ScaleFrameBytes ack = frame.kind == ScaleFrame::Live ? LiveAcknowledgement(frame.deviceId, 0)
                                                         : StoredAcknowledgement(frame.deviceId, frame.recordByte, 0);
    if (ack[0] != 0 || ack[1] != 0x07) std::abort();
  }
  return 0;
}
