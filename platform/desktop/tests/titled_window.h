#pragma once
// Windows of the desktop tests: a plain top-level window of this process, and one of another
// process (titled_window.exe), both titled with SetWindowTextW as the toolkit titles its windows.

#include <windows.h>

#include <string>

#include "platform/wide_text.h"
#include "testing/bounded_wait.h"

namespace testing_support {

// A hidden window of this process, destroyed with the object.
class OwnWindow {
 public:
  explicit OwnWindow(const std::string& title) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VymeraTestWindow";
    RegisterClassW(&windowClass);  // fails harmlessly once it is registered
    window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    if (window_) SetWindowTextW(window_, platform::Widen(title).c_str());
  }
  ~OwnWindow() {
    if (window_) DestroyWindow(window_);
  }
  OwnWindow(const OwnWindow&) = delete;
  OwnWindow& operator=(const OwnWindow&) = delete;
  HWND get() const { return window_; }

  // Runs the messages that a raise from this same thread left waiting; true once it is shown.
  bool WaitShown() {
    return WaitUntil([&] {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      return IsWindowVisible(window_) != FALSE;
    });
  }

 private:
  HWND window_ = nullptr;
};

// titled_window.exe running with its hidden window, closed and waited for with the object.
class OtherProcessWindow {
 public:
  OtherProcessWindow(const std::string& title, const std::string& lockFolder = {}) : title_(title) {
    std::wstring commandLine = L"titled_window.exe \"" + platform::Widen(title) + L"\"";
    if (!lockFolder.empty()) commandLine += L" \"" + platform::Widen(lockFolder) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (CreateProcessW(platform::Widen(VYMERA_TITLED_WINDOW).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                       nullptr, nullptr, &startup, &started)) {
      CloseHandle(started.hThread);
      process_ = started.hProcess;
    }
  }
  ~OtherProcessWindow() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      Close();
      if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) TerminateProcess(process_, 3);
    }
    CloseHandle(process_);
  }
  OtherProcessWindow(const OtherProcessWindow&) = delete;
  OtherProcessWindow& operator=(const OtherProcessWindow&) = delete;

  bool Started() const { return process_ != nullptr; }
  // Asks the window to close, as the user's close button would.
  void Close() {
    HWND window = FindWindowW(L"VymeraTitledWindow", platform::Widen(title_).c_str());
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  }
  // The program's exit code once it ended (0: its window had been shown), -1 when it did not end.
  int ExitCode() {
    DWORD code = 0;
    if (!process_ || WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_, &code)) {
      return -1;
    }
    return static_cast<int>(code);
  }

 private:
  std::string title_;
  HANDLE process_ = nullptr;
};

}  // namespace testing_support
