#include "toolkit/testing/headless.h"

#include <optional>

#include "toolkit/controls/edit.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/core/window_wnd.h"
#include "toolkit/paint_manager.h"

namespace toolkit::headless {

HeadlessBackend& Use() {
  static HeadlessBackend* backend = [] {
    auto owned = std::make_unique<HeadlessBackend>();
    HeadlessBackend* raw = owned.get();
    Dispatcher::Instance().SetBackend(std::move(owned));
    return raw;
  }();
  return *backend;
}

namespace {
CWindowWnd* Window(HWND hwnd) { return Dispatcher::Instance().Find(hwnd); }
}  // namespace

bool ClickAt(HWND hwnd, int x, int y) {
  CWindowWnd* w = Window(hwnd);
  if (!w) return false;
  w->OnNativeMouse(WM_MOUSEMOVE, x, y);
  if (!IsWindow(hwnd)) return true;
  w->OnNativeMouse(WM_LBUTTONDOWN, x, y);
  if (!IsWindow(hwnd)) return true;
  w->OnNativeMouse(WM_LBUTTONUP, x, y);
  return true;
}

bool DoubleClickAt(HWND hwnd, int x, int y) {
  if (!ClickAt(hwnd, x, y)) return false;
  CWindowWnd* w = Window(hwnd);
  if (!w) return true;
  w->OnNativeMouse(WM_LBUTTONDBLCLK, x, y);
  if (IsWindow(hwnd)) w->OnNativeMouse(WM_LBUTTONUP, x, y);
  return true;
}

namespace {
// The centre of a control that is shown, or nothing.
std::optional<POINT> CentreOf(HWND hwnd, std::string_view controlName) {
  CPaintManagerUI* pm = CPaintManagerUI::FromWindow(hwnd);
  CControlUI* c = pm ? pm->FindControl(controlName) : nullptr;
  if (!c || !c->IsVisibleInTree()) return std::nullopt;
  if (pm->NeedsLayout()) pm->DoLayout();
  const CRect& r = c->GetPos();
  if (r.IsEmpty()) return std::nullopt;
  return POINT{r.left + r.GetWidth() / 2, r.top + r.GetHeight() / 2};
}
}  // namespace

bool MoveMouse(HWND hwnd, int x, int y) {
  CWindowWnd* w = Window(hwnd);
  if (!w) return false;
  POINT screen{x, y};
  ClientToScreen(hwnd, &screen);
  Use().SetCursorPos(CPoint(screen.x, screen.y));
  w->OnNativeMouse(WM_MOUSEMOVE, x, y);
  return true;
}

bool Hover(HWND hwnd, std::string_view controlName) {
  auto pt = CentreOf(hwnd, controlName);
  return pt && MoveMouse(hwnd, pt->x, pt->y);
}

bool Click(HWND hwnd, std::string_view controlName) {
  auto pt = CentreOf(hwnd, controlName);
  return pt && ClickAt(hwnd, pt->x, pt->y);
}

bool WheelAt(HWND hwnd, int x, int y, int delta) {
  CWindowWnd* w = Window(hwnd);
  if (!w) return false;
  w->OnNativeMouse(WM_MOUSEMOVE, x, y);
  if (IsWindow(hwnd)) w->OnNativeWheel(x, y, delta);
  return true;
}

bool Wheel(HWND hwnd, std::string_view controlName, int notches) {
  auto pt = CentreOf(hwnd, controlName);
  return pt && WheelAt(hwnd, pt->x, pt->y, notches * WHEEL_DELTA);
}

bool TypeText(HWND hwnd, std::string_view controlName, const CStdString& text) {
  CPaintManagerUI* pm = CPaintManagerUI::FromWindow(hwnd);
  auto* edit = pm ? dynamic_cast<CEditUI*>(pm->FindControl(controlName)) : nullptr;
  if (!edit) return false;
  edit->SetFocus();
  edit->TypeText(text);
  return true;
}

void PressKey(HWND hwnd, WPARAM virtualKey, bool shift) {
  CWindowWnd* w = Window(hwnd);
  if (!w) return;
  Dispatcher::Instance().SetShiftDown(shift);
  w->OnNativeKey(virtualKey);
  Dispatcher::Instance().SetShiftDown(false);
}

void LoseFocus(HWND hwnd) {
  if (CWindowWnd* w = Window(hwnd)) w->OnNativeFocus(false);
}

void AdvanceTime(int64_t ms) {
  Use().Advance(ms);
  Pump();
}

void Pump() { Dispatcher::Instance().PumpPending(); }

}  // namespace toolkit::headless
