// A program with one plain top-level window, for the window-finding tests:
//   titled_window TITLE [LOCK_FOLDER]
// makes a hidden window titled TITLE (after taking the instance lock "Vymera" of LOCK_FOLDER when
// given) and runs until the window is closed, at most 30 seconds. Ends with 0 when the window was
// shown by the time it closed, 1 when it was never shown, 2 when it could not start.
#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <string>

#include "platform/desktop/single_instance.h"
#include "platform/wide_text.h"

namespace {

bool shown = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SHOWWINDOW && wParam) shown = true;
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 2) return 2;
  std::string title = platform::Narrow(argv[1]);
  platform::InstanceLock lock(argc > 2 ? platform::Narrow(argv[2]) : std::string(), "Vymera");
  if (argc > 2 && !lock.TryTake()) return 2;

  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VymeraTitledWindow";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                windowClass.hInstance, nullptr);
  if (!window) return 2;
  SetWindowTextW(window, platform::Widen(title).c_str());
  SetTimer(window, 1, 30000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (message.message == WM_TIMER) DestroyWindow(window);
    DispatchMessageW(&message);
  }
  LocalFree(argv);
  return shown ? 0 : 1;
}
