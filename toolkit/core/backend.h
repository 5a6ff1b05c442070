#pragma once
// The seam between the toolkit and a window system. A backend makes native windows, reports their
// input back through WindowHost, waits for events, keeps the time timers run on and offers the
// desktop's services. The toolkit above it is the same for real windows and for the headless twin
// used in tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/core/desktop_backend.h"
#include "toolkit/core/rect.h"

namespace toolkit {

class Renderer;

struct WindowParams {
  std::string className;  // the window's class name ("UI" + role), for window systems that have classes
  std::string title;
  CRect rect;  // screen coordinates of the whole window
  bool popup = false;
  bool toolWindow = false;
  bool topMost = false;
  class NativeWindow* owner = nullptr;
};

// What a native window tells the toolkit. Coordinates are client coordinates.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // Draws the client area with renderer, whose target covers it from (0, 0).
  virtual void OnNativePaint(Renderer& renderer) = 0;
  // msg is WM_MOUSEMOVE, WM_[LR]BUTTON{DOWN,UP,DBLCLK} or WM_MOUSELEAVE.
  virtual void OnNativeMouse(UINT msg, int x, int y) = 0;
  // The shift key's state at the press is in GetKeyState(VK_SHIFT) while the key is handled.
  virtual void OnNativeKey(WPARAM virtualKey) = 0;
  // delta: 120 per notch, positive when the wheel turns away from the user.
  virtual void OnNativeWheel(int x, int y, int delta) = 0;
  virtual void OnNativeFocus(bool gained) = 0;
  virtual void OnNativeMoved(const CRect& screenRect) = 0;
  virtual void OnNativeMinimized(bool minimized) = 0;
  virtual void OnNativeCloseRequest() = 0;
};

// What a real text entry over an edit control tells the control.
class TextEntryHost {
 public:
  virtual ~TextEntryHost() = default;
  virtual void OnEntryChanged(const std::string& text) = 0;
  virtual void OnEntryKey(WPARAM virtualKey) = 0;
  virtual void OnEntryFocus(bool gained) = 0;
};

// A native text field placed over an edit control: input methods, clipboard and selection are the
// window system's.
class TextEntry {
 public:
  virtual ~TextEntry() = default;
  virtual void SetBounds(const CRect& clientRect) = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual void SetPassword(bool on) = 0;
  virtual void SetReadOnly(bool on) = 0;
  virtual void SetVisible(bool on) = 0;
  virtual void SetEnabled(bool on) = 0;
  virtual void SetFont(const std::string& family, int pixelSize) = 0;
  virtual void SetTextColor(uint32_t argb) = 0;
  virtual void Focus() = 0;
  // Gives the keyboard focus back to the window when the entry has it.
  virtual void Blur() = 0;
};

class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual void SetTitle(const std::string& title) = 0;
  // Frame and title bar drawn by the window system (a window whose style keeps its caption).
  virtual void SetDecorated(bool decorated) = 0;
  virtual void SetTopMost(bool topMost) = 0;
  virtual void SetBounds(const CRect& screenRect) = 0;
  // visible false hides; minimized shows iconified; activate gives the keyboard focus.
  virtual void Show(bool visible, bool minimized, bool activate) = 0;
  virtual void Invalidate() = 0;
  // The visible part of the window as horizontal bands in client coordinates; empty for all of it.
  virtual void SetShape(const std::vector<CRect>& bands) = 0;
  virtual void SetOpacity(double opacity) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void BeginMoveDrag(int screenX, int screenY) = 0;
  // The user drags the edge (HTLEFT .. HTBOTTOMRIGHT) of a resizable window.
  virtual void BeginResizeDrag(int edge, int screenX, int screenY) = 0;
  // A resizable window takes sizes between min and max (0: no limit) from the user; another keeps
  // the size the toolkit gives it.
  virtual void SetResizable(bool resizable, const CSize& minSize, const CSize& maxSize) = 0;
  // The pointer shows which way an edge (HTLEFT .. HTBOTTOMRIGHT) resizes; any other hit shows
  // the ordinary pointer.
  virtual void SetEdgeCursor(int hit) = 0;
  virtual void SetIconFile(const std::string& pngPath) = 0;
  virtual void SetTooltip(const std::string& text) = 0;
  // A real entry over an edit control, owned by the caller; null when the backend has none.
  virtual std::unique_ptr<TextEntry> CreateTextEntry(TextEntryHost* host) = 0;
  // The window system's own handle of the window (an HWND on Windows); null where there is none.
  virtual void* SystemHandle() const { return nullptr; }
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual bool IsHeadless() const = 0;
  // Null when the window system refuses the window.
  virtual std::unique_ptr<NativeWindow> CreateNativeWindow(WindowHost* host, const WindowParams& params) = 0;
  // Milliseconds on the clock timers run on.
  virtual int64_t NowMs() = 0;
  // Handles native events that are already waiting; never blocks.
  virtual void DispatchReady() = 0;
  // Blocks until a native event was handled, Wake was called or the clock reached deadlineMs.
  virtual void Wait(std::optional<int64_t> deadlineMs) = 0;
  // Ends a Wait from any thread.
  virtual void Wake() = 0;
  // Message boxes, folder picker, tray, browser, screen geometry; lives as long as the backend.
  virtual DesktopBackend& Desktop() = 0;
  virtual CPoint CursorPos() = 0;
  // Calls onReadable on the GUI thread whenever fd can be read, until Unwatch.
  virtual void WatchReadable(int fd, std::function<void()> onReadable) = 0;
  virtual void UnwatchReadable(int fd) = 0;
};

}  // namespace toolkit
