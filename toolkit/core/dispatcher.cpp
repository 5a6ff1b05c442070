#include "toolkit/core/dispatcher.h"

#include "toolkit/core/window_wnd.h"

namespace toolkit {

// The platform's backend (backend/<platform>/), which falls back to the headless one without a display.
std::unique_ptr<Backend> CreateDefaultBackend();

Dispatcher& Dispatcher::Instance() {
  static Dispatcher* instance = new Dispatcher();  // lives as long as the process
  return *instance;
}

void Dispatcher::SetBackend(std::unique_ptr<Backend> backend) { backend_ = std::move(backend); }

Backend& Dispatcher::GetBackend() {
  if (!backend_) backend_ = CreateDefaultBackend();
  return *backend_;
}

HWND Dispatcher::Register(CWindowWnd* window) {
  std::lock_guard<std::mutex> lock(mutex_);
  uintptr_t handle = nextHandle_++;
  alive_.insert(handle);
  windows_[handle] = window;
  return reinterpret_cast<HWND>(handle);
}

void Dispatcher::Unregister(HWND hwnd) {
  auto handle = reinterpret_cast<uintptr_t>(hwnd);
  std::lock_guard<std::mutex> lock(mutex_);
  alive_.erase(handle);
  windows_.erase(handle);
  timers_.KillAll(hwnd);
}

CWindowWnd* Dispatcher::Find(HWND hwnd) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = windows_.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == windows_.end() ? nullptr : it->second;
}

bool Dispatcher::IsAlive(HWND hwnd) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return alive_.count(reinterpret_cast<uintptr_t>(hwnd)) != 0;
}

bool Dispatcher::Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!alive_.count(reinterpret_cast<uintptr_t>(hwnd))) return false;
    queue_.push_back(Posted{hwnd, msg, wParam, lParam});
  }
  if (backend_) backend_->Wake();
  return true;
}

void Dispatcher::PostQuit(int exitCode) {
  quitCode_ = exitCode;
  quit_ = true;
  if (backend_) backend_->Wake();
}

LRESULT Dispatcher::Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* window = Find(hwnd);
  return window ? window->HandleMessageFromToolkit(msg, wParam, lParam) : 0;
}

LRESULT Dispatcher::Deliver(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!Find(hwnd)) return 0;
  LRESULT result = 0;
  if (filterHook_ && filterHook_(hwnd, msg, wParam, lParam, result)) return result;
  return Send(hwnd, msg, wParam, lParam);
}

void Dispatcher::SetTimer(HWND hwnd, UINT id, UINT elapseMs) {
  if (!IsAlive(hwnd)) return;
  int64_t now = GetBackend().NowMs();
  std::lock_guard<std::mutex> lock(mutex_);
  timers_.Set(hwnd, id, elapseMs, now);
}

bool Dispatcher::KillTimer(HWND hwnd, UINT id) {
  std::lock_guard<std::mutex> lock(mutex_);
  return timers_.Kill(hwnd, id);
}

bool Dispatcher::PopPosted(Posted& out) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (queue_.empty()) return false;
  out = queue_.front();
  queue_.pop_front();
  return true;
}

bool Dispatcher::DispatchDueTimer() {
  std::optional<TimerTable::Due> due;
  {
    int64_t now = GetBackend().NowMs();
    std::lock_guard<std::mutex> lock(mutex_);
    due = timers_.TakeDue(now);
  }
  if (!due) return false;
  Deliver(due->hwnd, WM_TIMER, due->id, 0);
  return true;
}

// One posted message, or else one due timer: posted messages come first, as timers are the lowest
// priority of a window's input.
bool Dispatcher::DispatchOne() {
  Posted p{};
  if (PopPosted(p)) {
    Deliver(p.hwnd, p.msg, p.wParam, p.lParam);
    return true;
  }
  return DispatchDueTimer();
}

void Dispatcher::RunUntil(const std::function<bool()>& done) {
  Backend& backend = GetBackend();
  ++depth_;
  while (!quit_ && !done()) {
    backend.DispatchReady();
    if (quit_ || done()) break;
    if (DispatchOne()) continue;
    std::optional<int64_t> next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!queue_.empty()) continue;
      next = timers_.NextDue();
    }
    backend.Wait(next);
  }
  --depth_;
}

void Dispatcher::PumpPending() {
  Backend& backend = GetBackend();
  backend.DispatchReady();
  DeliverWaiting();
  backend.DispatchReady();
}

void Dispatcher::DeliverWaiting() {
  size_t budget;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    budget = queue_.size();
  }
  // Only what is waiting now: a handler that posts again must not keep the caller here forever.
  Posted p{};
  while (budget-- > 0 && !quit_ && PopPosted(p)) Deliver(p.hwnd, p.msg, p.wParam, p.lParam);
  for (int timersLeft = 64; timersLeft > 0 && !quit_; --timersLeft) {
    if (!DispatchDueTimer()) break;
  }
}

}  // namespace toolkit
