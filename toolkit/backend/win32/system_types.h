#pragma once
// The vocabulary between the Win32 files of the backend and the toolkit. The files that include the
// system's headers (system_*.cpp, gdiplus_canvas.cpp) cannot include the toolkit's headers, whose
// Win32-like names (HWND, RECT, WM_PAINT) are the toolkit's own; both sides meet in these plain
// types. Message numbers, key codes and show commands have the system's values on both sides.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace toolkit::win32 {

struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

class Canvas;

// What a system window tells the toolkit; coordinates in the client area.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void Paint(Canvas& canvas) = 0;
  // WM_MOUSEMOVE, WM_[LR]BUTTON{DOWN,UP,DBLCLK} or WM_MOUSELEAVE.
  virtual void Mouse(unsigned msg, int x, int y) = 0;
  virtual void Key(uintptr_t virtualKey, bool shift) = 0;
  virtual void Wheel(int x, int y, int delta) = 0;
  virtual void Focus(bool gained) = 0;
  virtual void Moved(const Box& screenRect) = 0;
  virtual void Minimized(bool minimized) = 0;
  virtual void CloseRequest() = 0;
};

// What a system edit field tells the control under it.
class EditEvents {
 public:
  virtual ~EditEvents() = default;
  virtual void Changed(const std::string& text) = 0;
  virtual void Key(uintptr_t virtualKey) = 0;
  virtual void Focus(bool gained) = 0;
};

struct WindowSpec {
  std::string className;  // registered on first use
  std::string title;
  Box rect;
  bool popup = false;
  bool toolWindow = false;
  bool topMost = false;
  void* owner = nullptr;  // the owner's system handle
};

// What the notification-area icon tells its owner.
class TrayEvents {
 public:
  virtual ~TrayEvents() = default;
  virtual void Activate() = 0;
  virtual void ContextMenu() = 0;
};

}  // namespace toolkit::win32

namespace toolkit::win32 {

// One step of a shape's outline (see toolkit::Path).
struct PathStep {
  enum Op { kMove, kLine, kArc, kClose } op = kMove;
  double x = 0, y = 0, radius = 0, from = 0, to = 0;
};

struct FontChoice {
  std::vector<std::string> families;  // best first; the first present that has the text's glyphs wins
  int size = 12;                      // pixels
  bool bold = false;
  bool italic = false;
  bool underline = false;
};

// How DrawString places text in its box.
struct TextPlacement {
  int align = 0;   // 0 left, 1 centre, 2 right
  int valign = 0;  // 0 top, 1 centre, 2 bottom
  bool wrap = false;
  bool ellipsis = false;
};

}  // namespace toolkit::win32
