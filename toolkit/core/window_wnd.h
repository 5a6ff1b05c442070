#pragma once
// CWindowWnd: the base of every window. It owns the native window, turns its events into the
// Win32-like messages HandleMessage receives, and runs modal loops. Subclasses name their window
// class, handle messages, and usually delete themselves in OnFinalMessage.

#include <memory>
#include <string>
#include <vector>

#include "platform/message_target.h"
#include "toolkit/core/backend.h"
#include "toolkit/core/rect.h"
#include "toolkit/core/std_string.h"
#include "toolkit/core/win_api.h"
#include "toolkit/core/win_types.h"

class CWindowWnd : public platform::MessageTarget, public toolkit::WindowHost {
 public:
  CWindowWnd();
  ~CWindowWnd() override;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return hwnd_; }
  operator HWND() const { return hwnd_; }  // NOLINT

  // Creates the window (WM_CREATE, then WM_SIZE; shown when style has WS_VISIBLE). parent is the
  // owner a pop-up stays above and a modal loop disables. Null when WM_CREATE returned -1 or the
  // window system refused the window.
  HWND Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, int x = CW_USEDEFAULT, int y = CW_USEDEFAULT,
              int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU menu = nullptr);
  HWND Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, const RECT& rc, HMENU menu = nullptr);

  void ShowWindow(bool show = true, bool takeFocus = true);
  // Shows the window and runs a nested loop until it is destroyed, the owner disabled meanwhile.
  // Returns the value given to Close, or 0 when the window went another way or a quit came first.
  UINT ShowModal();
  // Asks the window to close (posts WM_CLOSE); ret becomes ShowModal's result.
  void Close(UINT ret = IDOK);
  // Centres on the owner when there is one, else on the screen's work area.
  void CenterWindow();
  // The icon registered under resource id (toolkit::RegisterIconResource); unknown ids do nothing.
  void SetIcon(UINT resourceId);
  // Resizes the window so that its client area is cx by cy (-1 keeps that side).
  void ResizeClient(int cx = -1, int cy = -1);

  LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // Any thread; false when the window is gone.
  bool PostMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) override;

  // Default handling of a message (what the window system does with what a window leaves alone):
  // WM_CLOSE destroys the window, WM_NCHITTEST is client, WM_NCACTIVATE is allowed.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  // The entry the message loop calls; not for the programs.
  LRESULT HandleMessageFromToolkit(UINT msg, WPARAM wParam, LPARAM lParam);

  // WindowHost: events of the native window (also what the headless driver injects).
  void OnNativePaint(toolkit::Renderer& renderer) override;
  void OnNativeMouse(UINT msg, int x, int y) override;
  void OnNativeKey(WPARAM virtualKey) override;
  void OnNativeWheel(int x, int y, int delta) override;
  void OnNativeFocus(bool gained) override;
  void OnNativeMoved(const CRect& screenRect) override;
  void OnNativeMinimized(bool minimized) override;
  void OnNativeCloseRequest() override;

  // The renderer of the paint in progress (during WM_PAINT), else null.
  toolkit::Renderer* PaintTarget() const { return paintTarget_; }
  // The native window, null before Create and after destruction.
  toolkit::NativeWindow* Native() const { return native_.get(); }
  // The visible bands set by SetWindowRoundRegion (empty: all of the window).
  const std::vector<CRect>& ShapeBands() const { return shape_; }
  int Alpha() const { return alpha_; }
  const std::string& Title() const { return title_; }
  HWND Owner() const { return owner_; }

 protected:
  virtual LPCTSTR GetWindowClassName() const = 0;
  virtual LPCTSTR GetSuperClassName() const { return nullptr; }
  virtual UINT GetClassStyle() const { return 0; }
  // Called after the window is gone (after WM_NCDESTROY); the object may delete itself here.
  virtual void OnFinalMessage(HWND hwnd);

 private:
  friend bool DestroyWindow(HWND);
  friend bool ShowWindow(HWND, int);
  friend bool IsWindowVisible(HWND);
  friend bool IsIconic(HWND);
  friend bool GetWindowPlacement(HWND, WINDOWPLACEMENT*);
  friend bool EnableWindow(HWND, bool);
  friend bool IsWindowEnabled(HWND);
  friend bool SetForegroundWindow(HWND);
  friend bool GetWindowRect(HWND, RECT*);
  friend bool MoveWindow(HWND, int, int, int, int, bool);
  friend bool SetWindowPos(HWND, HWND, int, int, int, int, UINT);
  friend DWORD GetWindowLong(HWND, int);
  friend DWORD SetWindowLong(HWND, int, DWORD);
  friend bool SetWindowRoundRegion(HWND, const RECT&, int, int);
  friend bool SetWindowAlpha(HWND, int);
  friend bool SetWindowSizeLimits(HWND, bool, SIZE, SIZE);
  friend bool AnimateWindow(HWND, DWORD, DWORD);
  friend bool SetWindowText(HWND, const char*);

  void SetBounds(const CRect& rect, bool notify);
  void ApplyOpacity();

  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  std::unique_ptr<toolkit::NativeWindow> native_;
  std::string title_;
  DWORD style_ = 0;
  DWORD exStyle_ = 0;
  CRect rect_;
  bool visible_ = false;
  bool minimized_ = false;
  bool enabled_ = true;
  bool destroying_ = false;
  bool resizable_ = false;
  LRESULT edgeUnderPointer_ = HTCLIENT;  // what the pointer shows over a resizable window
  int alpha_ = 255;
  double fade_ = 1.0;  // extra factor while a fade runs
  std::vector<CRect> shape_;
  toolkit::Renderer* paintTarget_ = nullptr;
  HWND modalOwner_ = nullptr;  // owner this window disabled while it runs modally
  bool inModalLoop_ = false;
};

namespace toolkit {
// Names the PNG file SetIcon(resourceId) uses.
void RegisterIconResource(UINT resourceId, const std::string& pngPath);
// Every live window of the process, in creation order.
std::vector<HWND> AllWindows();
// Called with each titled top-level window when it is created and destroyed; the cross-process
// window registry listens here.
using TitledWindowHook = void (*)(HWND hwnd, const std::string& title, bool created);
void SetTitledWindowHook(TitledWindowHook hook);
// The visible bands of a rounded rectangle as the platform's region function makes it: the
// rectangle excludes its right and bottom edges, corners are quarter ellipses cornerWidth by
// cornerHeight.
std::vector<CRect> RoundRectBands(const RECT& rect, int cornerWidth, int cornerHeight);
}  // namespace toolkit
