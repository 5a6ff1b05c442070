#pragma once
// What the Win32 backend's tests do as the system or a user would: find windows, send them mouse
// and character messages, read their class and style. Plain types only: the tests include the
// toolkit's headers, this helper's file the system's.

#include <string>

namespace win32_input {

void* FindTopLevel(const std::string& title);
void* FindByClass(const std::string& className);
std::string ClassName(void* hwnd);
// Whether the window has the pop-up style and no caption.
bool IsPopupWithoutCaption(void* hwnd);
// Whether a region clips the window, and whether the client point is inside it.
bool HasRegion(void* hwnd);
bool InRegion(void* hwnd, int x, int y);
// A press and a release of the left button at the client point, sent (Send) or posted (Post).
void SendClick(void* hwnd, int x, int y);
void PostClick(void* hwnd, int x, int y);
// The first edit field among the window's children.
void* ChildEdit(void* hwnd);
// Each UTF-16 unit of the UTF-8 text as WM_CHAR, as the keyboard (or an input method) sends it.
void TypeChars(void* hwnd, const std::string& text);
void* Focused();
// Clicks the default button of the dialog box titled caption; false when none stands.
bool AnswerDialog(const std::string& caption);
// Sends msg with wParam and lParam to hwnd.
intptr_t Send(void* hwnd, unsigned msg, uintptr_t wParam, intptr_t lParam);
// The shell's registered message that the taskbar came back.
unsigned TaskbarCreatedMessage();

}  // namespace win32_input
