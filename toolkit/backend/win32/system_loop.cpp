#include "toolkit/backend/win32/system_loop.h"

#include <windows.h>

namespace toolkit::win32 {
namespace {

constexpr UINT kWakeMessage = WM_APP + 0x3F0;
constexpr UINT_PTR kForeignTimer = 1;
// How often the toolkit's timers are looked at while a system loop runs.
constexpr UINT kForeignTickMs = 10;

LRESULT CALLBACK PumpProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kWakeMessage || (msg == WM_TIMER && wParam == kForeignTimer)) {
    return SystemLoop::Instance().HandlePump(msg, wParam, lParam);
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

SystemLoop& SystemLoop::Instance() {
  static SystemLoop* loop = new SystemLoop();  // lives as long as the process, as its window does
  return *loop;
}

SystemLoop::SystemLoop() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PumpProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"UIMessagePump";
  RegisterClassExW(&wc);
  pumpWindow_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

int64_t SystemLoop::NowMs() const { return static_cast<int64_t>(GetTickCount64()); }

void SystemLoop::DispatchReady() {
  MSG msg;
  // Bounded: a window that keeps posting to itself must not hold the caller here for ever.
  for (int left = 4096; left > 0 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); --left) {
    if (msg.message == WM_QUIT) continue;  // the toolkit's own quit ends its loops
    // The pump's wake-ups are for the toolkit's loop, which is running now.
    if (msg.hwnd == static_cast<HWND>(pumpWindow_)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void SystemLoop::Wait(std::optional<int64_t> deadlineMs) {
  DWORD timeout = INFINITE;
  if (deadlineMs) {
    int64_t left = *deadlineMs - NowMs();
    if (left <= 0) return;
    timeout = static_cast<DWORD>(left > 0x7FFFFFFF ? 0x7FFFFFFF : left);
  }
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void SystemLoop::Wake() {
  // A posted message ends a Wait and also reaches the pump window from inside a system loop.
  PostMessageW(static_cast<HWND>(pumpWindow_), kWakeMessage, 0, 0);
}

intptr_t SystemLoop::HandlePump(unsigned, uintptr_t, intptr_t) {
  // Reaching the window at all means a loop other than the toolkit's took the message.
  // A pump already running is re-entered only from a system loop started inside it.
  int depth = foreign_.load();
  if (depth > pumpingAt_ && pump_) {
    int outer = pumpingAt_;
    pumpingAt_ = depth;
    pump_();
    pumpingAt_ = outer;
  }
  return 0;
}

void SystemLoop::EnterForeign() {
  if (foreign_++ == 0) SetTimer(static_cast<HWND>(pumpWindow_), kForeignTimer, kForeignTickMs, nullptr);
}

void SystemLoop::LeaveForeign() {
  if (--foreign_ == 0) KillTimer(static_cast<HWND>(pumpWindow_), kForeignTimer);
}

}  // namespace toolkit::win32
