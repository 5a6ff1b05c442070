#pragma once
// What the scale reader thread and the main-window thread share: the connected flag, the read
// handle, and the frames read but not yet taken, one per posted message so that a fast second frame
// never overwrites the first.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "client/core/devices/scale_frame.h"
#include "platform/hid/hid_host.h"
#include "client/core/client_messages.h"
#include "platform/message_target.h"

class ScaleChannel {
 public:
  static constexpr unsigned kFrameMessage = client_messages::kMsgScaleFrame;  // wParam 33
  // Frames the main window has not taken yet. Beyond this a frame is dropped unacknowledged, and the
  // scale sends it again.
  static constexpr size_t kMaxQueued = 64;

  // Main thread: a new read handle (connected), or none (not connected); wakes the reader.
  void Connect(std::shared_ptr<platform::HidDevice> readHandle);
  void Disconnect();
  bool Connected() const { return connected_; }
  // True when the reader found the current read handle dead (the device went away between ticks).
  bool ReadHandleFailed() const { return readFailed_; }

  // Where frames are announced; null drops frames until a window is published. Not owned.
  void SetTarget(platform::MessageTarget* target) { target_ = target; }

  // Reader thread: blocks until connected with a live handle or until Stop; null after Stop.
  std::shared_ptr<platform::HidDevice> WaitForReadHandle();
  void MarkReadFailed(const std::shared_ptr<platform::HidDevice>& handle);
  // Queues a copy of the frame and posts one message for it; false when dropped.
  bool Deliver(const ScaleFrameBytes& frame);

  // Main thread, once per posted message: the oldest frame not yet taken.
  std::optional<ScaleFrameBytes> TakeFrame();

  void Stop();

 private:
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::shared_ptr<platform::HidDevice> readHandle_;
  std::deque<ScaleFrameBytes> frames_;
  std::atomic<bool> connected_{false};
  std::atomic<bool> readFailed_{false};
  std::atomic<platform::MessageTarget*> target_{nullptr};
  bool stopped_ = false;
};
