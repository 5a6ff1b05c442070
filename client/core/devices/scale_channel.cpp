#include "client/core/devices/scale_channel.h"

#include <utility>

void ScaleChannel::Connect(std::shared_ptr<platform::HidDevice> readHandle) {
  std::shared_ptr<platform::HidDevice> old;
  {
    std::lock_guard lock(mutex_);
    old = std::exchange(readHandle_, std::move(readHandle));
    connected_ = readHandle_ != nullptr;
    readFailed_ = false;
  }
  if (old) old->Cancel();
  wake_.notify_all();
}

void ScaleChannel::Disconnect() { Connect(nullptr); }

std::shared_ptr<platform::HidDevice> ScaleChannel::WaitForReadHandle() {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [&] { return stopped_ || (readHandle_ && !readFailed_); });
  return stopped_ ? nullptr : readHandle_;
}

void ScaleChannel::MarkReadFailed(const std::shared_ptr<platform::HidDevice>& handle) {
  std::lock_guard lock(mutex_);
  if (handle == readHandle_) readFailed_ = true;
}

bool ScaleChannel::Deliver(const ScaleFrameBytes& frame) {
  platform::MessageTarget* target = target_;
  if (!target) return false;
  {
    std::lock_guard lock(mutex_);
    if (frames_.size() >= kMaxQueued) return false;
    frames_.push_back(frame);
  }
  if (target->PostMessage(kFrameMessage, kScaleFrameBytes, 0)) return true;
  // No message will come for it; frames before it still have theirs, so it is the last one.
  std::lock_guard lock(mutex_);
  frames_.pop_back();
  return false;
}

std::optional<ScaleFrameBytes> ScaleChannel::TakeFrame() {
  std::lock_guard lock(mutex_);
  if (frames_.empty()) return std::nullopt;
  ScaleFrameBytes frame = frames_.front();
  frames_.pop_front();
  return frame;
}

void ScaleChannel::Stop() {
  std::shared_ptr<platform::HidDevice> handle;
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    handle = readHandle_;
  }
  if (handle) handle->Cancel();
  wake_.notify_all();
}
