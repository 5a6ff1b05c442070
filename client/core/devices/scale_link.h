#pragma once
// ScaleLink: the body scale's USB receiver. Detection every tick, the serial text the scale is bound
// by, the acknowledgements it expects, and the decoding of the frames the reader thread hands over.
// Everything but the reader thread runs on the main-window thread.

#include <memory>
#include <string>

#include "client/core/devices/pending_weights.h"
#include "client/core/devices/scale_channel.h"
#include "client/core/devices/scale_reader.h"
#include "client/core/devices/wall_clock.h"
#include "platform/hid/hid_host.h"
#include "client/core/client_messages.h"
#include "platform/message_target.h"

class ScaleLink {
 public:
  static constexpr uint16_t kVendorId = 0x1915;
  static constexpr uint16_t kProductId = 0x003B;
  static constexpr int kDataInterface = 3;
  static constexpr unsigned kFrameMessage = ScaleChannel::kFrameMessage;
  static constexpr unsigned kLiveWeightMessage = client_messages::kMsgLiveWeight;  // to the scale settings dialog
  static constexpr int kWriteTimeoutMs = 500;

  // host and clock must outlive the link; the reader thread starts here and ends with the link.
  ScaleLink(platform::HidHost& host, const WallClock& clock);
  ~ScaleLink();
  ScaleLink(const ScaleLink&) = delete;
  ScaleLink& operator=(const ScaleLink&) = delete;

  // Looks for the receiver's data interface; opens it when newly found, gives it up when gone.
  // True while connected.
  bool Detect();
  bool Connected() const { return channel_.Connected(); }
  // "W1" + the serial string last read; "W1" alone before any.
  std::string Serial() const { return "W1" + serial_; }

  // Where the reader thread announces frames (the main window); null until it is published.
  void SetFrameTarget(platform::MessageTarget* target) { channel_.SetTarget(target); }

  // On the main window's frame message: decodes one frame, keeps the reading, tells the open scale
  // settings dialog (may be null) a live weight, and acknowledges it.
  void HandleFrameMessage(PendingWeights& pending, platform::MessageTarget* settingsDialog);

  // False when the report could not be written; a write that times out also gives up the scale.
  bool AcknowledgeLive(uint32_t deviceId);
  bool AcknowledgeStored(uint32_t deviceId, uint8_t recordByte);

  bool LiveFrameSeen() const { return liveSeen_; }

 private:
  void GiveUp();
  bool WriteAcknowledgement(const ScaleFrameBytes& report);

  platform::HidHost& host_;
  const WallClock& clock_;
  std::string serial_;
  std::string openPath_;
  std::unique_ptr<platform::HidDevice> writeHandle_;
  bool liveSeen_ = false;
  ScaleChannel channel_;
  ScaleReader reader_{channel_};  // last: stops before the channel goes
};
