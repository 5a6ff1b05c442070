#pragma once
// The GUI thread's side of the toolkit's loop on Windows: waiting for the system's messages with a
// deadline, handling those already waiting, and waking the wait from any thread. While a loop of the
// system's own runs instead (moving a window, a message box, the folder picker) the toolkit's posted
// messages and timers are delivered from there, so they never stall.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

namespace toolkit::win32 {

class SystemLoop {
 public:
  // The loop of the thread that made the first window; made on first use.
  static SystemLoop& Instance();

  int64_t NowMs() const;
  // Handles the system's messages already waiting; never blocks.
  void DispatchReady();
  // Blocks until a message of the system arrived, Wake was called or the clock reached deadlineMs.
  void Wait(std::optional<int64_t> deadlineMs);
  // Ends a Wait, or runs the foreign pump inside a system loop; any thread.
  void Wake();
  // What delivers the toolkit's waiting messages and due timers from inside a system loop.
  void SetForeignPump(std::function<void()> pump) { pump_ = std::move(pump); }

  // The pump window's messages; not for callers.
  intptr_t HandlePump(unsigned msg, uintptr_t wParam, intptr_t lParam);

 private:
  friend class ForeignLoop;
  SystemLoop();
  void EnterForeign();
  void LeaveForeign();

  void* pumpWindow_ = nullptr;
  std::function<void()> pump_;
  std::atomic<int> foreign_{0};
  int pumpingAt_ = 0;  // the system-loop depth the running pump serves
};

// Marks the scope of a system loop the toolkit starts (a move drag, a system dialog): the toolkit's
// messages and timers are delivered from inside it.
class ForeignLoop {
 public:
  ForeignLoop() { SystemLoop::Instance().EnterForeign(); }
  ~ForeignLoop() { SystemLoop::Instance().LeaveForeign(); }
  ForeignLoop(const ForeignLoop&) = delete;
  ForeignLoop& operator=(const ForeignLoop&) = delete;
};

}  // namespace toolkit::win32
