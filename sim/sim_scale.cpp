#include "sim/sim_scale.h"

#include <cmath>

namespace sim {
namespace {

uint32_t BigEndian32(std::span<const uint8_t> b) {
  return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

}  // namespace

SimScale::SimScale(std::string serial, int interfaceNumber, std::string path)
    : SimDevice({path.empty() ? "sim:scale:if" + std::to_string(interfaceNumber) : path, kVendorId,
                 kProductId, interfaceNumber, std::move(serial)},
                kFrameBytes, kFrameBytes) {}

std::vector<uint8_t> SimScale::Frame(uint8_t kind, uint32_t deviceId, float kg, uint32_t seconds,
                                     uint8_t recordByte) {
  std::vector<uint8_t> f(kFrameBytes, 0);
  for (int i = 0; i < 4; ++i) f[1 + i] = static_cast<uint8_t>(deviceId >> (24 - 8 * i));
  f[5] = kind;
  f[6] = recordByte;
  auto tenths = static_cast<uint16_t>(std::lround(kg * 10.0f));
  f[7] = static_cast<uint8_t>(tenths >> 8);
  f[8] = static_cast<uint8_t>(tenths);
  for (int i = 0; i < 4; ++i) f[10 + i] = static_cast<uint8_t>(seconds >> (8 * i));
  return f;
}

void SimScale::SendLive(uint32_t deviceId, float kg, uint32_t scaleSeconds) {
  SendFrame({kLive, deviceId, 0}, kg, scaleSeconds);
}

void SimScale::SendStored(uint32_t deviceId, float kg, uint32_t secondsSince2000, uint8_t recordByte) {
  SendFrame({kStored, deviceId, recordByte}, kg, secondsSince2000);
}

void SimScale::SendFrame(Sent sent, float kg, uint32_t seconds) {
  std::lock_guard lock(mutex_);
  if (!PluggedLocked()) return;
  unanswered_.push_back(sent);
  QueueLocked(Frame(sent.kind, sent.deviceId, kg, seconds, sent.recordByte));
}

void SimScale::SendRaw(std::vector<uint8_t> report) { Send(std::move(report)); }

void SimScale::OnOutputReport(std::span<const uint8_t> r) {
  Ack ack;
  if (r.size() < kFrameBytes || r[0] != 0x00 || r[1] != 0x07) {
    acks_.push_back(ack);
    return;
  }
  ack.deviceId = BigEndian32(r.subspan(2, 4));
  for (auto it = unanswered_.begin(); it != unanswered_.end(); ++it) {
    if (it->deviceId != ack.deviceId) continue;
    ack.kind = it->kind;
    if (it->kind == kLive) {
      ack.seconds = BigEndian32(r.subspan(6, 4));
      ack.matched = true;
    } else {
      ack.recordByte = r[6];
      ack.seconds = BigEndian32(r.subspan(7, 4));
      ack.matched = r[6] == it->recordByte;
    }
    if (ack.matched) unanswered_.erase(it);
    break;
  }
  acks_.push_back(ack);
}

std::vector<SimScale::Ack> SimScale::Acks() const {
  std::lock_guard lock(mutex_);
  return acks_;
}

size_t SimScale::Unanswered() const {
  std::lock_guard lock(mutex_);
  return unanswered_.size();
}

}  // namespace sim
