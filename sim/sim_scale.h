#pragma once
// The body scale's USB receiver as the client sees it: 33-byte frames for live and stored readings,
// and the acknowledgements it expects back for each.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sim/sim_device.h"

namespace sim {

class SimScale final : public SimDevice {
 public:
  static constexpr uint16_t kVendorId = 0x1915;
  static constexpr uint16_t kProductId = 0x003B;
  static constexpr size_t kFrameBytes = 33;
  static constexpr uint8_t kLive = 0x20;
  static constexpr uint8_t kStored = 0x30;

  // interfaceNumber 3 is the receiver's data interface; others are there to be passed over.
  explicit SimScale(std::string serial = "5A0031C7", int interfaceNumber = 3,
                    std::string path = {});

  // Sends a live reading; byte 10–13 carry the scale's clock, which the client does not read.
  void SendLive(uint32_t deviceId, float kg, uint32_t scaleSeconds = 0);
  // Sends a reading kept in the scale's memory, taken secondsSince2000 (local time) after 2000.
  void SendStored(uint32_t deviceId, float kg, uint32_t secondsSince2000, uint8_t recordByte);
  // Sends any bytes as one report, e.g. a frame of the wrong length.
  void SendRaw(std::vector<uint8_t> report);

  struct Ack {
    uint8_t kind = 0;          // kLive or kStored: the frame it answered
    uint32_t deviceId = 0;
    uint8_t recordByte = 0;    // stored frames only
    uint32_t seconds = 0;      // the client's clock, seconds since 2000 local
    bool matched = false;      // it answered the oldest unanswered frame of that device correctly
  };
  std::vector<Ack> Acks() const;
  // Frames sent and not yet acknowledged.
  size_t Unanswered() const;

  static std::vector<uint8_t> Frame(uint8_t kind, uint32_t deviceId, float kg, uint32_t seconds,
                                    uint8_t recordByte);

 private:
  void OnOutputReport(std::span<const uint8_t> report) override;

  struct Sent {
    uint8_t kind;
    uint32_t deviceId;
    uint8_t recordByte;
  };
  // Queues the frame of sent and waits for its acknowledgement.
  void SendFrame(Sent sent, float kg, uint32_t seconds);

  std::deque<Sent> unanswered_;
  std::vector<Ack> acks_;
};

}  // namespace sim
