#include "toolkit/tests/win32_system_input.h"

#include <windows.h>

#include "toolkit/backend/win32/wide.h"

namespace win32_input {
namespace {
HWND H(void* p) { return static_cast<HWND>(p); }
LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }
}  // namespace

void* FindTopLevel(const std::string& title) {
  return FindWindowW(nullptr, toolkit::win32::Widen(title).c_str());
}

void* FindByClass(const std::string& className) {
  return FindWindowW(toolkit::win32::Widen(className).c_str(), nullptr);
}

std::string ClassName(void* hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(H(hwnd), name, 256);
  return toolkit::win32::Narrow(name);
}

bool IsPopupWithoutCaption(void* hwnd) {
  LONG_PTR style = GetWindowLongPtrW(H(hwnd), GWL_STYLE);
  return (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION;
}

bool HasRegion(void* hwnd) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  bool has = GetWindowRgn(H(hwnd), region) != ERROR;
  DeleteObject(region);
  return has;
}

bool InRegion(void* hwnd, int x, int y) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  bool in = GetWindowRgn(H(hwnd), region) != ERROR && PtInRegion(region, x, y);
  DeleteObject(region);
  return in;
}

void SendClick(void* hwnd, int x, int y) {
  SendMessageW(H(hwnd), WM_MOUSEMOVE, 0, Point(x, y));
  SendMessageW(H(hwnd), WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
  SendMessageW(H(hwnd), WM_LBUTTONUP, 0, Point(x, y));
}

void PostClick(void* hwnd, int x, int y) {
  PostMessageW(H(hwnd), WM_MOUSEMOVE, 0, Point(x, y));
  PostMessageW(H(hwnd), WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
  PostMessageW(H(hwnd), WM_LBUTTONUP, 0, Point(x, y));
}

void* ChildEdit(void* hwnd) { return FindWindowExW(H(hwnd), nullptr, L"EDIT", nullptr); }

void TypeChars(void* hwnd, const std::string& text) {
  for (wchar_t unit : toolkit::win32::Widen(text)) SendMessageW(H(hwnd), WM_CHAR, unit, 1);
}

void* Focused() { return GetFocus(); }

bool AnswerDialog(const std::string& caption) {
  HWND box = FindWindowW(L"#32770", toolkit::win32::Widen(caption).c_str());
  if (!box) return false;
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return true;
}

intptr_t Send(void* hwnd, unsigned msg, uintptr_t wParam, intptr_t lParam) {
  return SendMessageW(H(hwnd), msg, wParam, lParam);
}

unsigned TaskbarCreatedMessage() { return RegisterWindowMessageW(L"TaskbarCreated"); }

}  // namespace win32_input
