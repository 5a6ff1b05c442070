// The window functions by handle (win_api.h): each finds the window object and acts on it.
#include "toolkit/core/win_api.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "toolkit/core/dispatcher.h"
#include "toolkit/core/window_table.h"
#include "toolkit/core/window_wnd.h"

namespace toolkit {

std::vector<CRect> RoundRectBands(const RECT& rect, int cornerWidth, int cornerHeight) {
  // The region stops one pixel short of the right and bottom edges.
  int w = rect.right - rect.left - 1;
  int h = rect.bottom - rect.top - 1;
  std::vector<CRect> bands;
  if (w <= 0 || h <= 0) return bands;
  double rx = std::min(std::abs(cornerWidth), w) / 2.0;
  double ry = std::min(std::abs(cornerHeight), h) / 2.0;
  for (int y = 0; y < h; ++y) {
    int inset = 0;
    if (rx > 0 && ry > 0) {
      double yc = y + 0.5;
      double dy = 0;
      if (yc < ry) {
        dy = ry - yc;
      } else if (yc > h - ry) {
        dy = yc - (h - ry);
      }
      double dx = rx * std::sqrt(std::max(0.0, 1.0 - (dy / ry) * (dy / ry)));
      inset = static_cast<int>(std::lround(rx - dx));
    }
    CRect row(rect.left + inset, rect.top + y, rect.left + w - inset, rect.top + y + 1);
    if (row.IsEmpty()) continue;
    if (!bands.empty() && bands.back().left == row.left && bands.back().right == row.right &&
        bands.back().bottom == row.top) {
      bands.back().bottom = row.bottom;
    } else {
      bands.push_back(row);
    }
  }
  return bands;
}

}  // namespace toolkit

using toolkit::Dispatcher;

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Dispatcher::Instance().Post(hwnd, msg, wParam, lParam);
}

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return Dispatcher::Instance().Send(hwnd, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) { Dispatcher::Instance().PostQuit(exitCode); }

bool IsWindow(HWND hwnd) { return hwnd && Dispatcher::Instance().IsAlive(hwnd); }

bool DestroyWindow(HWND hwnd) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w || w->destroying_) return false;
  w->destroying_ = true;
  Dispatcher& dispatcher = Dispatcher::Instance();
  // Give the activation back before the window goes, as a modal window does.
  if (w->modalOwner_) {
    EnableWindow(w->modalOwner_, true);
    w->modalOwner_ = nullptr;
  }
  for (HWND other : toolkit::AllWindows()) {
    CWindowWnd* o = toolkit::Lookup(other);
    if (o && o->owner_ == hwnd) DestroyWindow(other);
  }
  if (w->owner_ == nullptr && !w->title_.empty() && toolkit::g_titledHook) toolkit::g_titledHook(hwnd, w->title_, false);
  w->HandleMessageFromToolkit(WM_DESTROY, 0, 0);
  w->native_.reset();
  dispatcher.Unregister(hwnd);
  auto& order = toolkit::CreationOrder();
  order.erase(std::remove(order.begin(), order.end(), hwnd), order.end());
  // Only a modal loop reads the result given to Close, after the window is gone.
  if (!w->inModalLoop_) toolkit::ModalResults().erase(reinterpret_cast<uintptr_t>(hwnd));
  w->HandleMessage(WM_NCDESTROY, 0, 0);
  w->hwnd_ = nullptr;
  w->OnFinalMessage(hwnd);  // may delete w
  return true;
}

UINT SetTimer(HWND hwnd, UINT id, UINT elapseMs) {
  if (!IsWindow(hwnd)) return 0;
  Dispatcher::Instance().SetTimer(hwnd, id, elapseMs);
  return id;
}

bool KillTimer(HWND hwnd, UINT id) { return Dispatcher::Instance().KillTimer(hwnd, id); }

bool ShowWindow(HWND hwnd, int showCommand) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return false;
  bool wasVisible = w->visible_;
  bool wasMinimized = w->minimized_;
  switch (showCommand) {
    case SW_HIDE:
      w->visible_ = false;
      break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
      w->visible_ = true;
      w->minimized_ = true;
      break;
    default:
      w->visible_ = true;
      w->minimized_ = false;
      break;
  }
  if (w->visible_) {
    w->fade_ = 1.0;
    w->ApplyOpacity();
  }
  bool activate = w->visible_ && !w->minimized_ && showCommand != SW_SHOWNOACTIVATE;
  if (w->native_) w->native_->Show(w->visible_, w->minimized_, activate);
  if (w->minimized_ != wasMinimized) {
    SendMessage(hwnd, WM_SIZE, w->minimized_ ? SIZE_MINIMIZED : SIZE_RESTORED,
                MAKELPARAM(w->rect_.GetWidth(), w->rect_.GetHeight()));
  }
  return wasVisible;
}

bool IsWindowVisible(HWND hwnd) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  return w && w->visible_;
}

bool IsIconic(HWND hwnd) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  return w && w->minimized_;
}

bool GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w || !placement) return false;
  placement->showCmd = !w->visible_ ? SW_HIDE : (w->minimized_ ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
  placement->rcNormalPosition = w->rect_;
  return true;
}

bool EnableWindow(HWND hwnd, bool enable) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return false;
  bool wasDisabled = !w->enabled_;
  w->enabled_ = enable;
  if (w->native_) w->native_->SetEnabled(enable);
  if (wasDisabled == enable) SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled;
}

bool IsWindowEnabled(HWND hwnd) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  return w && w->enabled_;
}

bool SetForegroundWindow(HWND hwnd) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return false;
  if (w->native_ && w->visible_) w->native_->Show(true, w->minimized_, true);
  return true;
}

bool SetFocus(HWND hwnd) { return SetForegroundWindow(hwnd); }

bool GetWindowRect(HWND hwnd, RECT* rect) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w || !rect) return false;
  *rect = w->rect_;
  return true;
}

bool GetClientRect(HWND hwnd, RECT* rect) {
  RECT r;
  if (!rect || !GetWindowRect(hwnd, &r)) return false;
  *rect = CRect(0, 0, r.right - r.left, r.bottom - r.top);
  return true;
}

bool ScreenToClient(HWND hwnd, POINT* point) {
  RECT r;
  if (!point || !GetWindowRect(hwnd, &r)) return false;
  point->x -= r.left;
  point->y -= r.top;
  return true;
}

bool ClientToScreen(HWND hwnd, POINT* point) {
  RECT r;
  if (!point || !GetWindowRect(hwnd, &r)) return false;
  point->x += r.left;
  point->y += r.top;
  return true;
}

bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return false;
  w->SetBounds(CRect(x, y, x + width, y + height), true);
  return true;
}

bool SetWindowPos(HWND hwnd, HWND hwndInsertAfter, int x, int y, int cx, int cy, UINT flags) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return false;
  if (!(flags & SWP_NOZORDER) && (hwndInsertAfter == HWND_TOPMOST || hwndInsertAfter == HWND_NOTOPMOST)) {
    bool top = hwndInsertAfter == HWND_TOPMOST;
    w->exStyle_ = top ? (w->exStyle_ | WS_EX_TOPMOST) : (w->exStyle_ & ~WS_EX_TOPMOST);
    if (w->native_) w->native_->SetTopMost(top);
  }
  CRect r = w->rect_;
  if (!(flags & SWP_NOMOVE)) r = CRect(x, y, x + r.GetWidth(), y + r.GetHeight());
  if (!(flags & SWP_NOSIZE)) r = CRect(r.left, r.top, r.left + cx, r.top + cy);
  w->SetBounds(r, true);
  if (flags & SWP_SHOWWINDOW) ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
  return true;
}

short GetKeyState(int virtualKey) {
  bool down = virtualKey == static_cast<int>(VK_SHIFT) && Dispatcher::Instance().ShiftDown();
  return down ? static_cast<short>(0x8000) : 0;
}

bool GetCursorPos(POINT* point) {
  if (!point) return false;
  CPoint p = Dispatcher::Instance().GetBackend().CursorPos();
  *point = p;
  return true;
}

DWORD GetWindowLong(HWND hwnd, int index) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return 0;
  if (index == GWL_STYLE) return w->style_;
  if (index == GWL_EXSTYLE) return w->exStyle_;
  return 0;
}

DWORD SetWindowLong(HWND hwnd, int index, DWORD value) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return 0;
  DWORD old = 0;
  if (index == GWL_STYLE) {
    old = w->style_;
    w->style_ = value;
    if (w->native_) w->native_->SetDecorated((value & WS_CAPTION) == WS_CAPTION);
  } else if (index == GWL_EXSTYLE) {
    old = w->exStyle_;
    w->exStyle_ = value;
    if (w->native_) w->native_->SetTopMost((value & WS_EX_TOPMOST) != 0);
  }
  return old;
}

bool SetWindowRoundRegion(HWND hwnd, const RECT& rect, int cornerWidth, int cornerHeight) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return false;
  w->shape_ = toolkit::RoundRectBands(rect, cornerWidth, cornerHeight);
  if (w->native_) w->native_->SetShape(w->shape_);
  return true;
}

bool SetWindowAlpha(HWND hwnd, int alpha) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return false;
  w->alpha_ = std::clamp(alpha, 0, 255);
  w->ApplyOpacity();
  return true;
}

bool SetWindowSizeLimits(HWND hwnd, bool resizable, SIZE minSize, SIZE maxSize) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w || !w->Native()) return false;
  w->resizable_ = resizable;
  w->Native()->SetResizable(resizable, CSize(std::max(0, minSize.cx), std::max(0, minSize.cy)),
                            CSize(std::max(0, maxSize.cx), std::max(0, maxSize.cy)));
  return true;
}

bool AnimateWindow(HWND hwnd, DWORD durationMs, DWORD flags) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return false;
  if (!((flags & AW_HIDE) && (flags & AW_BLEND)) || durationMs == 0) {
    ShowWindow(hwnd, (flags & AW_HIDE) ? SW_HIDE : SW_SHOWNORMAL);
    return true;
  }
  if (!w->visible_) return true;
  Dispatcher& dispatcher = Dispatcher::Instance();
  toolkit::Backend& backend = dispatcher.GetBackend();
  int64_t start = backend.NowMs();
  int64_t end = start + durationMs;
  dispatcher.SetTimer(hwnd, toolkit::kFadeTimerId, toolkit::kFadeStepMs);
  // Each tick sets the opacity from the time gone; the loop ends when the time is up, the window is
  // gone or a quit comes.
  dispatcher.RunUntil([&] {
    CWindowWnd* fading = toolkit::Lookup(hwnd);
    if (!fading) return true;
    int64_t now = backend.NowMs();
    fading->fade_ = now >= end ? 0.0 : 1.0 - static_cast<double>(now - start) / durationMs;
    fading->ApplyOpacity();
    return now >= end;
  });
  dispatcher.KillTimer(hwnd, toolkit::kFadeTimerId);
  if (CWindowWnd* done = toolkit::Lookup(hwnd)) {
    ShowWindow(hwnd, SW_HIDE);
    done->fade_ = 1.0;
  }
  return true;
}

bool GetWindowTextA(HWND hwnd, char* buffer, int size) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w || !buffer || size <= 0) return false;
  std::strncpy(buffer, w->Title().c_str(), static_cast<size_t>(size - 1));
  buffer[size - 1] = '\0';
  return true;
}

bool SetWindowText(HWND hwnd, const char* text) {
  CWindowWnd* w = toolkit::Lookup(hwnd);
  if (!w) return false;
  w->title_ = text ? text : "";
  if (w->native_) w->native_->SetTitle(w->title_);
  return true;
}

HWND FindWindow(const char*, const char* title) {
  for (HWND h : toolkit::AllWindows()) {
    CWindowWnd* w = toolkit::Lookup(h);
    if (w && w->Owner() == nullptr && title && w->Title() == title) return h;
  }
  return nullptr;
}
