#pragma once
// A window that records what is posted to it, and the fixed clock the device tests run on.

#include <condition_variable>
#include <ctime>
#include <mutex>
#include <vector>

#include "platform/message_target.h"
#include "testing/fixed_clock.h"

namespace testing_support {

class RecordingTarget final : public platform::MessageTarget {
 public:
  struct Message {
    unsigned message;
    uintptr_t wParam;
    intptr_t lParam;
  };

  bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    messages_.push_back({message, wParam, lParam});
    posted_.notify_all();
    return true;
  }

  // Waits (a bounded time, so a broken test fails instead of hanging) until count messages came.
  bool WaitFor(size_t count) {
    std::unique_lock lock(mutex_);
    return posted_.wait_for(lock, std::chrono::seconds(5), [&] { return messages_.size() >= count; });
  }
  std::vector<Message> Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  void Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::vector<Message> messages_;
  bool closed_ = false;
};

}  // namespace testing_support
