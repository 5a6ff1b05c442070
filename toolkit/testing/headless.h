#pragma once
// Driving windows without a display: what tests (of the toolkit and of the programs' windows) use
// to click controls by name, type, press keys, take the focus away, move time, script the desktop's
// dialogs and look at the result as a PNG.

#include <string>
#include <string_view>

#include "toolkit/backend/headless/headless_backend.h"
#include "toolkit/core/std_string.h"
#include "toolkit/core/win_types.h"

typedef struct _cairo_surface cairo_surface_t;

namespace toolkit::headless {

// Makes the headless backend the process's backend (before the first window) and returns it;
// later calls return the same one.
HeadlessBackend& Use();
// Its desktop: the script the message boxes and folder pickers answer from, what they showed, the
// addresses opened (nothing is started) and the notification area's icons.
inline HeadlessDesktop& Desktop() { return Use().Desktop(); }

// Moves the pointer over the control and presses and releases the left button at its centre, as a
// user does. False when the window has no such control or it is hidden.
bool Click(HWND hwnd, std::string_view controlName);
bool ClickAt(HWND hwnd, int x, int y);
bool DoubleClickAt(HWND hwnd, int x, int y);
// Moves the pointer to a client point (or over the control's centre) without pressing, as a user
// does: the window hit-tests the point and gets WM_MOUSEMOVE. False when there is no such window
// (or no such control shown).
bool MoveMouse(HWND hwnd, int x, int y);
bool Hover(HWND hwnd, std::string_view controlName);
// Types text into the edit control, one keystroke per character. False when it is not an edit.
bool TypeText(HWND hwnd, std::string_view controlName, const CStdString& text);
void PressKey(HWND hwnd, WPARAM virtualKey, bool shift = false);
// Turns the wheel over the control's centre: notches away from the user when positive. False
// when the window has no such control or it is hidden.
bool Wheel(HWND hwnd, std::string_view controlName, int notches);
bool WheelAt(HWND hwnd, int x, int y, int delta);
// The window loses the keyboard focus to another application.
void LoseFocus(HWND hwnd);
// Moves the virtual clock and handles what became due.
void AdvanceTime(int64_t ms);
// Handles everything waiting now.
void Pump();

// Paints the window as the screen would show it (clipped to its region); the caller destroys the
// surface. Null when hwnd is not a window with a size.
cairo_surface_t* Render(HWND hwnd);
bool RenderToPng(HWND hwnd, const std::string& path);

}  // namespace toolkit::headless
