#include "client/core/devices/scale_link.h"

#include <bit>

#include "client/core/devices/local_time.h"
#include "platform/codepage.h"

namespace {
// The serial string is read into a buffer of 260 bytes of UTF-16 with its terminator.
constexpr size_t kMaxSerialChars = 129;
}  // namespace

ScaleLink::ScaleLink(platform::HidHost& host, const WallClock& clock) : host_(host), clock_(clock) {}

ScaleLink::~ScaleLink() = default;

bool ScaleLink::Detect() {
  const platform::HidInterface* match = nullptr;
  std::vector<platform::HidInterface> found = host_.Enumerate(kVendorId, kProductId);
  for (const auto& one : found) {
    if (one.interfaceNumber == kDataInterface) {
      match = &one;
      break;
    }
  }
  if (!match) {
    GiveUp();
    return false;
  }
  serial_ = std::string(platform::TruncateCodePoints(match->serial, kMaxSerialChars));
  // A receiver pulled and put back between two ticks comes back under a new handle; the old one is
  // dead, so reopen rather than keep reading from it.
  bool stale = Connected() && (match->path != openPath_ || channel_.ReadHandleFailed());
  if (Connected() && !stale) return true;

  std::shared_ptr<platform::HidDevice> readHandle = host_.Open(match->path);
  std::unique_ptr<platform::HidDevice> writeHandle = host_.Open(match->path);
  if (!readHandle || !writeHandle) {
    GiveUp();
    return false;
  }
  writeHandle_ = std::move(writeHandle);
  openPath_ = match->path;
  channel_.Connect(std::move(readHandle));
  return true;
}

void ScaleLink::GiveUp() {
  channel_.Disconnect();
  writeHandle_.reset();
  openPath_.clear();
}

void ScaleLink::HandleFrameMessage(PendingWeights& pending, platform::MessageTarget* settingsDialog) {
  std::optional<ScaleFrameBytes> bytes = channel_.TakeFrame();
  if (!bytes) return;
  ScaleFrame frame = DecodeScaleFrame(*bytes);
  std::optional<WeightRecord> reading = ReadingOf(frame, liveSeen_, clock_.Now());
  if (!reading || !pending.Add(std::move(*reading))) return;

  if (frame.kind == ScaleFrame::Live) {
    if (settingsDialog) {
      settingsDialog->PostMessage(kLiveWeightMessage, 0, static_cast<intptr_t>(std::bit_cast<uint32_t>(frame.weight)));
    }
    AcknowledgeLive(frame.deviceId);
  } else {
    AcknowledgeStored(frame.deviceId, frame.recordByte);
  }
}

bool ScaleLink::AcknowledgeLive(uint32_t deviceId) {
  return WriteAcknowledgement(LiveAcknowledgement(deviceId, SecondsSince2000(clock_.Now())));
}

bool ScaleLink::AcknowledgeStored(uint32_t deviceId, uint8_t recordByte) {
  return WriteAcknowledgement(StoredAcknowledgement(deviceId, recordByte, SecondsSince2000(clock_.Now())));
}

bool ScaleLink::WriteAcknowledgement(const ScaleFrameBytes& report) {
  if (!writeHandle_) return false;
  platform::HidTransfer sent = writeHandle_->Write(report, kWriteTimeoutMs);
  if (sent.ok()) return true;
  // A scale that does not take its acknowledgement within the time-out counts as gone; Detect finds
  // it again on the next tick if it is still there.
  writeHandle_->Cancel();
  GiveUp();
  return false;
}
