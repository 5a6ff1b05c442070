#include "client/core/devices/scale_frame.h"

#include "client/core/devices/local_time.h"

namespace {

void PutBigEndian32(uint8_t* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

ScaleFrameBytes AcknowledgementHead(uint32_t deviceId) {
  ScaleFrameBytes r{};
  r[1] = 0x07;
  PutBigEndian32(&r[2], deviceId);
  return r;
}

}  // namespace

ScaleFrame DecodeScaleFrame(const ScaleFrameBytes& f) {
  ScaleFrame out;
  out.deviceId = uint32_t{f[1]} << 24 | uint32_t{f[2]} << 16 | uint32_t{f[3]} << 8 | f[4];
  out.weight = static_cast<float>(f[7] << 8 | f[8]) / 10.0f;
  out.recordSeconds = uint32_t{f[10]} | uint32_t{f[11]} << 8 | uint32_t{f[12]} << 16 | uint32_t{f[13]} << 24;
  out.kind = f[5] & 0x70;
  out.recordByte = f[6];
  return out;
}

std::optional<WeightRecord> ReadingOf(const ScaleFrame& frame, bool& liveSeen, std::time_t now) {
  if (frame.kind == ScaleFrame::Live) {
    liveSeen = true;
  } else if (frame.kind != ScaleFrame::Stored || !liveSeen) {
    // Stored records are taken only once a live frame has shown the scale's clock is in use.
    return std::nullopt;
  }
  std::tm when = frame.kind == ScaleFrame::Live ? LocalFields(now) : FieldsFromSeconds2000(frame.recordSeconds);
  WeightRecord reading;
  reading.weight = frame.weight;
  reading.time = DateText(when);
  reading.exacttime = DateTimeText(when);
  return reading;
}

ScaleFrameBytes LiveAcknowledgement(uint32_t deviceId, uint32_t now) {
  ScaleFrameBytes r = AcknowledgementHead(deviceId);
  PutBigEndian32(&r[6], now);
  return r;
}

ScaleFrameBytes StoredAcknowledgement(uint32_t deviceId, uint8_t recordByte, uint32_t now) {
  ScaleFrameBytes r = AcknowledgementHead(deviceId);
  r[6] = recordByte;
  PutBigEndian32(&r[7], now);
  return r;
}
