#pragma once
// The shell's services for the toolkit on Windows: its message box, the folder picker, the browser,
// the screen's geometry and the notification-area icon.

#include <memory>
#include <optional>
#include <string>

#include "toolkit/backend/win32/system_types.h"

namespace toolkit::win32 {

// Shows the system's message box over owner (may be null) until answered: IDOK, IDYES, ... The
// toolkit's timers and posted messages go on meanwhile.
int RunMessageBox(void* owner, const std::string& text, const std::string& caption, unsigned type);
// The shell's folder picker; the folder chosen (one with a file-system path) or nothing.
std::optional<std::string> RunFolderPicker(void* owner, const std::string& title);
// Hands url to the shell ("open"); false when the shell refused it.
bool ShellOpen(const std::string& url, int showCommand);
Box PrimaryScreen();
// The pointer on the screen, in left and top.
Box CursorPosition();
Box WorkArea();

// The icon in the shell's notification area, with a hidden window of its own that hears the icon's
// events and the shell's "TaskbarCreated" (the taskbar restarted), which adds the icon again.
class SystemTray {
 public:
  // Null when the shell refused the icon. iconPng empty: the system's application icon.
  static std::unique_ptr<SystemTray> Create(TrayEvents* events, const std::string& iconPng, const std::string& tip);
  ~SystemTray();
  SystemTray(const SystemTray&) = delete;
  SystemTray& operator=(const SystemTray&) = delete;

  void SetTip(const std::string& tip);
  // Takes the icon off for good; false when the shell refused.
  bool Remove();
  void* Window() const { return window_; }

  // The tray window's messages; not for callers.
  intptr_t Handle(unsigned msg, uintptr_t wParam, intptr_t lParam);

 private:
  explicit SystemTray(TrayEvents* events) : events_(events) {}
  bool Add();

  TrayEvents* events_;
  void* window_ = nullptr;
  void* icon_ = nullptr;
  bool ownIcon_ = false;
  std::wstring tip_;
  bool removed_ = false;
};

// The message the icon's events reach the tray window with.
inline constexpr unsigned kTrayCallbackMessage = 0x8000 + 10;

}  // namespace toolkit::win32
