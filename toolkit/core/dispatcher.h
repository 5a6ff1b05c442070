#pragma once
// The message loop of the GUI thread: the posted-message queue (fed from any thread), the window
// timers, the handle table and the nested loops of modal windows. Every message a window receives
// from the loop goes through Deliver, which runs the window's pre-message filters first.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "toolkit/core/backend.h"
#include "toolkit/core/timer_table.h"
#include "toolkit/core/win_types.h"

class CWindowWnd;

namespace toolkit {

class Dispatcher {
 public:
  // Filters run before a window's own handling; true = handled, result set.
  using FilterHook = bool (*)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // The one dispatcher of the process.
  static Dispatcher& Instance();

  // Chooses the backend; only before the first window exists. Without a call the real window
  // system is used.
  void SetBackend(std::unique_ptr<Backend> backend);
  Backend& GetBackend();
  bool HasBackend() const { return backend_ != nullptr; }

  void SetFilterHook(FilterHook hook) { filterHook_ = hook; }

  // Handle table (GUI thread, except IsAlive).
  HWND Register(CWindowWnd* window);
  void Unregister(HWND hwnd);
  CWindowWnd* Find(HWND hwnd) const;
  bool IsAlive(HWND hwnd) const;  // any thread

  // Queues a message for hwnd; any thread. False when hwnd is not a live window.
  bool Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Makes the running loops return; any thread.
  void PostQuit(int exitCode);
  bool QuitPending() const { return quit_.load(); }
  int QuitCode() const { return quitCode_.load(); }
  // Forgets a quit that has been acted on, so that a later loop runs again.
  void ClearQuit() { quit_ = false; }

  // Calls the window's HandleMessage directly; 0 when hwnd is not a live window.
  LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Pre-message filters, then HandleMessage.
  LRESULT Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  void SetTimer(HWND hwnd, UINT id, UINT elapseMs);
  bool KillTimer(HWND hwnd, UINT id);

  // Runs the loop until done() holds or a quit is pending (the quit stays pending so outer loops
  // end too).
  void RunUntil(const std::function<bool()>& done);
  // Handles every message already queued, every timer already due and the waiting native events,
  // then returns.
  void PumpPending();
  // PumpPending without asking the backend for native events: for a loop of the window system's
  // own (a move drag, a system dialog) that handles those itself.
  void DeliverWaiting();

  // How many loops are running inside each other (0 outside any loop).
  int Depth() const { return depth_; }

  // Whether shift was held at the key press being handled (GUI thread); the backend sets it.
  void SetShiftDown(bool down) { shiftDown_ = down; }
  bool ShiftDown() const { return shiftDown_; }

 private:
  Dispatcher() = default;
  struct Posted {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  };
  bool PopPosted(Posted& out);
  bool DispatchOne();
  // Delivers the timer that is due first; false when none is.
  bool DispatchDueTimer();

  std::unique_ptr<Backend> backend_;
  FilterHook filterHook_ = nullptr;

  mutable std::mutex mutex_;  // guards queue_ and alive_
  std::deque<Posted> queue_;
  std::unordered_set<uintptr_t> alive_;
  std::unordered_map<uintptr_t, CWindowWnd*> windows_;
  uintptr_t nextHandle_ = 0x1000;

  TimerTable timers_;
  std::atomic<bool> quit_{false};
  std::atomic<int> quitCode_{0};
  int depth_ = 0;
  bool shiftDown_ = false;
};

}  // namespace toolkit
