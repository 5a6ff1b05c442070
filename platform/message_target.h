#pragma once
// A window that can be posted a message from any thread: what a worker needs to report progress
// without knowing the window toolkit. The toolkit's windows implement it.

#include <cstdint>

namespace platform {

class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  // Queues message for the window's thread and returns at once; false when the window is gone.
  virtual bool PostMessage(unsigned message, uintptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace platform
