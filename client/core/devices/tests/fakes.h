#pragma once
// A clock that stands still where a test puts it, and a window that records what is posted to it.

#include <condition_variable>
#include <ctime>
#include <mutex>
#include <vector>

#include "client/core/devices/local_time.h"
#include "client/core/devices/wall_clock.h"
#include "platform/message_target.h"

namespace testing_support {

class FixedClock final : public WallClock {
 public:
  explicit FixedClock(std::time_t now = LocalTime(2024, 5, 20, 8, 30, 0)) : now_(now) {}
  std::time_t Now() const override { return now_; }
  void Set(std::time_t now) { now_ = now; }
  void Advance(int seconds) { now_ += seconds; }

  static std::time_t LocalTime(int y, int mo, int d, int h, int mi, int s) {
    std::tm f{};
    f.tm_year = y - 1900;
    f.tm_mon = mo - 1;
    f.tm_mday = d;
    f.tm_hour = h;
    f.tm_min = mi;
    f.tm_sec = s;
    return TimeFromLocalFields(f);
  }

 private:
  std::time_t now_;
};

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
