#include "client/core/devices/scale_reader.h"

#include <algorithm>
#include <array>

ScaleReader::ScaleReader(ScaleChannel& channel) : channel_(channel), thread_([this] { Run(); }) {}

ScaleReader::~ScaleReader() {
  channel_.Stop();
  thread_.join();
}

void ScaleReader::Run() {
  // Larger than a frame, so that a report of another length shows as such instead of being cut.
  std::array<uint8_t, 512> buffer;
  for (;;) {
    std::shared_ptr<platform::HidDevice> handle = channel_.WaitForReadHandle();
    if (!handle) return;
    platform::HidTransfer got = handle->Read(buffer, -1);
    if (got.status == platform::HidStatus::Failed) {
      // A dead handle fails at once; wait for Detect instead of spinning on it.
      channel_.MarkReadFailed(handle);
      continue;
    }
    if (!got.ok() || got.bytes != kScaleFrameBytes || !channel_.Connected()) continue;
    ScaleFrameBytes frame;
    std::copy_n(buffer.begin(), kScaleFrameBytes, frame.begin());
    channel_.Deliver(frame);
  }
}
