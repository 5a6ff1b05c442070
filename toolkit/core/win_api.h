#pragma once
// The window functions the programs call by handle, with the meanings they have on the platform the
// windows were designed for. All run on the GUI thread, except PostMessage and IsWindow.

#include "toolkit/core/rect.h"
#include "toolkit/core/win_types.h"

inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_EXSTYLE = -20;

inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;
inline constexpr UINT SWP_NOZORDER = 0x0004;
inline constexpr UINT SWP_NOACTIVATE = 0x0010;
inline constexpr UINT SWP_FRAMECHANGED = 0x0020;
inline constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-2));

inline constexpr DWORD AW_HIDE = 0x00010000;
inline constexpr DWORD AW_BLEND = 0x00080000;

struct WINDOWPLACEMENT {
  UINT showCmd = SW_HIDE;  // SW_HIDE, SW_SHOWNORMAL or SW_SHOWMINIMIZED
  RECT rcNormalPosition;
};

// Queues a message; any thread. False when hwnd is not a live window.
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Runs the window's handling at once; 0 when hwnd is not a live window.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
// Makes MessageLoop return exitCode; the modal loops running inside it end first.
void PostQuitMessage(int exitCode);
// Any thread.
bool IsWindow(HWND hwnd);
// Sends WM_DESTROY, destroys the owned windows and the native window, then WM_NCDESTROY and the
// final message. False when hwnd is not a live window.
bool DestroyWindow(HWND hwnd);

// Starts (or restarts) timer id of hwnd: WM_TIMER with wParam id every elapseMs. Returns id, or 0
// when hwnd is not a live window.
UINT SetTimer(HWND hwnd, UINT id, UINT elapseMs);
bool KillTimer(HWND hwnd, UINT id);

// Returns whether the window was visible before.
bool ShowWindow(HWND hwnd, int showCommand);
bool IsWindowVisible(HWND hwnd);
bool IsIconic(HWND hwnd);
bool GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
// Disabled windows receive no mouse or key input. Returns whether it was disabled before.
bool EnableWindow(HWND hwnd, bool enable);
bool IsWindowEnabled(HWND hwnd);
bool SetForegroundWindow(HWND hwnd);
bool SetFocus(HWND hwnd);

bool GetWindowRect(HWND hwnd, RECT* rect);  // screen coordinates
bool GetClientRect(HWND hwnd, RECT* rect);  // 0, 0, width, height
bool ScreenToClient(HWND hwnd, POINT* point);
bool ClientToScreen(HWND hwnd, POINT* point);
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint = true);
// hwndInsertAfter HWND_TOPMOST or HWND_NOTOPMOST changes the top-most state; others are ignored.
bool SetWindowPos(HWND hwnd, HWND hwndInsertAfter, int x, int y, int cx, int cy, UINT flags);
bool GetCursorPos(POINT* point);
// Negative while the key is down; only VK_SHIFT is tracked, for the key being handled.
short GetKeyState(int virtualKey);

// GWL_STYLE or GWL_EXSTYLE; 0 for anything else.
DWORD GetWindowLong(HWND hwnd, int index);
DWORD SetWindowLong(HWND hwnd, int index, DWORD value);

// Clips the window to a rounded rectangle in client coordinates whose corner ellipse is cornerWidth
// by cornerHeight (a plain rectangle when both are 0).
bool SetWindowRoundRegion(HWND hwnd, const RECT& rect, int cornerWidth, int cornerHeight);
// Whether the user may resize the window by its edges, and within which sizes (0: no limit).
bool SetWindowSizeLimits(HWND hwnd, bool resizable, SIZE minSize, SIZE maxSize);
// 0 transparent .. 255 opaque.
bool SetWindowAlpha(HWND hwnd, int alpha);
// With AW_HIDE | AW_BLEND: fades the window out over durationMs, then hides it; returns when done,
// the messages of other windows still being handled meanwhile. Other flags show it at once.
bool AnimateWindow(HWND hwnd, DWORD durationMs, DWORD flags);

// The title given at creation.
bool GetWindowTextA(HWND hwnd, char* buffer, int size);
bool SetWindowText(HWND hwnd, const char* text);
// The first top-level window of this process with exactly this title, or null.
HWND FindWindow(const char* className, const char* title);

// The screen's geometry (the primary screen where there are several).
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr UINT SPI_GETWORKAREA = 0x0030;
// SM_CXSCREEN or SM_CYSCREEN: the screen's width or height in pixels; 0 for any other index.
int GetSystemMetrics(int index);
// SPI_GETWORKAREA: writes the work area (the screen without its panels) to the RECT param points
// at; false for any other action.
bool SystemParametersInfo(UINT action, UINT uiParam, void* param, UINT winIni);
