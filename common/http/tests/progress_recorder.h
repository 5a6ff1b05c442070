#pragma once
// A message target that keeps what was posted to it.

#include <mutex>
#include <vector>

#include "platform/message_target.h"

#ifdef _WIN32
// windows.h names its PostMessage function by a macro that would rename the method below.
#include <windows.h>
#undef PostMessage
#endif

namespace testing_support {

struct PostedMessage {
  unsigned message;
  uintptr_t wParam;
  intptr_t lParam;
};

class ProgressRecorder : public platform::MessageTarget {
 public:
  bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) override {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_.push_back({message, wParam, lParam});
    return true;
  }
  std::vector<PostedMessage> Posted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return posted_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<PostedMessage> posted_;
};

}  // namespace testing_support
