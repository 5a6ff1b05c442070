#include "toolkit/core/window_wnd.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>

#include "toolkit/core/dispatcher.h"

namespace toolkit {
namespace {

std::map<UINT, std::string>& IconTable() {
  static auto* table = new std::map<UINT, std::string>();
  return *table;
}

// Results given to Close, kept by handle because the window object may be gone when ShowModal
// reads them.
std::unordered_map<uintptr_t, UINT>& ModalResults() {
  static auto* results = new std::unordered_map<uintptr_t, UINT>();
  return *results;
}

std::vector<HWND>& CreationOrder() {
  static auto* order = new std::vector<HWND>();
  return *order;
}

TitledWindowHook g_titledHook = nullptr;

// The fade of AnimateWindow runs on a timer of the window's own, outside the ids programs use.
constexpr UINT kFadeTimerId = 0xFADE0001u;
constexpr UINT kFadeStepMs = 40;

CWindowWnd* Lookup(HWND hwnd) { return Dispatcher::Instance().Find(hwnd); }

}  // namespace

void RegisterIconResource(UINT resourceId, const std::string& pngPath) { IconTable()[resourceId] = pngPath; }

std::vector<HWND> AllWindows() {
  std::vector<HWND> live;
  for (HWND h : CreationOrder()) {
    if (IsWindow(h)) live.push_back(h);
  }
  return live;
}

void SetTitledWindowHook(TitledWindowHook hook) { g_titledHook = hook; }

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

CWindowWnd::CWindowWnd() = default;

CWindowWnd::~CWindowWnd() {
  // A window object deleted while its window still stands: take the window down without calling
  // back into the half-destroyed object.
  if (hwnd_ && Dispatcher::Instance().IsAlive(hwnd_)) {
    Dispatcher::Instance().Unregister(hwnd_);
    native_.reset();
  }
}

HWND CWindowWnd::Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, const RECT& rc, HMENU menu) {
  return Create(parent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, menu);
}

HWND CWindowWnd::Create(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy, HMENU) {
  if (hwnd_) return nullptr;
  Dispatcher& dispatcher = Dispatcher::Instance();
  toolkit::Backend& backend = dispatcher.GetBackend();
  CRect work = backend.Desktop().WorkArea();
  if (cx == CW_USEDEFAULT || cx <= 0) cx = 640;
  if (cy == CW_USEDEFAULT || cy <= 0) cy = 480;
  if (x == CW_USEDEFAULT) x = work.left + (work.GetWidth() - cx) / 2;
  if (y == CW_USEDEFAULT) y = work.top + (work.GetHeight() - cy) / 2;

  title_ = name ? name : "";
  style_ = style;
  exStyle_ = exStyle;
  owner_ = IsWindow(parent) ? parent : nullptr;
  rect_ = CRect(x, y, x + cx, y + cy);
  hwnd_ = dispatcher.Register(this);
  toolkit::CreationOrder().push_back(hwnd_);

  toolkit::WindowParams params;
  params.title = title_;
  params.rect = rect_;
  params.popup = (style & WS_POPUP) != 0;
  params.toolWindow = (exStyle & WS_EX_TOOLWINDOW) != 0;
  params.topMost = (exStyle & WS_EX_TOPMOST) != 0;
  if (CWindowWnd* ownerWindow = toolkit::Lookup(owner_)) params.owner = ownerWindow->native_.get();
  native_ = backend.CreateNativeWindow(this, params);
  if (!native_) {
    dispatcher.Unregister(hwnd_);
    hwnd_ = nullptr;
    return nullptr;
  }
  HWND self = hwnd_;
  if (HandleMessageFromToolkit(WM_CREATE, 0, 0) == -1) {
    DestroyWindow(self);
    return nullptr;
  }
  if (!IsWindow(self)) return nullptr;
  native_->SetDecorated((style_ & WS_CAPTION) == WS_CAPTION);
  SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect_.GetWidth(), rect_.GetHeight()));
  if (!IsWindow(self)) return nullptr;
  if (owner_ == nullptr && !title_.empty() && toolkit::g_titledHook) toolkit::g_titledHook(self, title_, true);
  if (style_ & WS_VISIBLE) ::ShowWindow(self, SW_SHOWNORMAL);
  return self;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  ::ShowWindow(hwnd_, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
  HWND self = hwnd_;
  if (!IsWindow(self)) return 0;
  HWND owner = owner_;
  if (owner && IsWindowEnabled(owner)) {
    EnableWindow(owner, false);
    modalOwner_ = owner;
  }
  ::ShowWindow(self, SW_SHOWNORMAL);
  inModalLoop_ = true;
  Dispatcher::Instance().RunUntil([self] { return !IsWindow(self); });
  // Still standing when a quit ended the loop: the owner must not stay disabled.
  if (IsWindow(self)) {
    inModalLoop_ = false;
    if (modalOwner_) EnableWindow(modalOwner_, true);
    modalOwner_ = nullptr;
  }
  auto& results = toolkit::ModalResults();
  auto it = results.find(reinterpret_cast<uintptr_t>(self));
  UINT result = 0;
  if (it != results.end()) {
    result = it->second;
    results.erase(it);
  }
  if (owner && IsWindow(owner) && !IsWindow(self)) SetForegroundWindow(owner);
  return result;
}

void CWindowWnd::Close(UINT ret) {
  if (!IsWindow(hwnd_)) return;
  toolkit::ModalResults()[reinterpret_cast<uintptr_t>(hwnd_)] = ret;
  ::PostMessage(hwnd_, WM_CLOSE, ret, 0);
}

void CWindowWnd::CenterWindow() {
  if (!IsWindow(hwnd_)) return;
  CRect work = Dispatcher::Instance().GetBackend().Desktop().WorkArea();
  CRect around = work;
  if (CWindowWnd* owner = toolkit::Lookup(owner_); owner && owner->visible_ && !owner->minimized_) around = owner->rect_;
  int w = rect_.GetWidth();
  int h = rect_.GetHeight();
  int x = around.left + (around.GetWidth() - w) / 2;
  int y = around.top + (around.GetHeight() - h) / 2;
  // Keep it on the screen when the owner stands near an edge.
  x = std::max(work.left, std::min(x, work.right - w));
  y = std::max(work.top, std::min(y, work.bottom - h));
  SetBounds(CRect(x, y, x + w, y + h), true);
}

void CWindowWnd::SetIcon(UINT resourceId) {
  auto it = toolkit::IconTable().find(resourceId);
  if (native_ && it != toolkit::IconTable().end()) native_->SetIconFile(it->second);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  CRect r = rect_;
  if (cx >= 0) r.right = r.left + cx;
  if (cy >= 0) r.bottom = r.top + cy;
  SetBounds(r, true);
}

LRESULT CWindowWnd::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) { return ::SendMessage(hwnd_, msg, wParam, lParam); }

bool CWindowWnd::PostMessage(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  return ::PostMessage(hwnd_, msg, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT msg, WPARAM, LPARAM) {
  switch (msg) {
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_NCACTIVATE:
      return TRUE;
    default:
      return 0;
  }
}

LRESULT CWindowWnd::HandleMessageFromToolkit(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_TIMER && wParam == toolkit::kFadeTimerId) {
    return 0;  // the tick only wakes the fade loop, which reads the clock itself
  }
  return HandleMessage(msg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND) {}

void CWindowWnd::SetBounds(const CRect& rect, bool notify) {
  bool moved = rect.left != rect_.left || rect.top != rect_.top;
  bool resized = rect.GetWidth() != rect_.GetWidth() || rect.GetHeight() != rect_.GetHeight();
  rect_ = rect;
  if (native_) native_->SetBounds(rect_);
  if (!notify) return;
  HWND self = hwnd_;
  if (moved) ::SendMessage(self, WM_MOVE, 0, MAKELPARAM(rect_.left, rect_.top));
  if (resized && IsWindow(self)) {
    ::SendMessage(self, WM_SIZE, minimized_ ? SIZE_MINIMIZED : SIZE_RESTORED,
                  MAKELPARAM(rect_.GetWidth(), rect_.GetHeight()));
  }
}

void CWindowWnd::ApplyOpacity() {
  if (native_) native_->SetOpacity(alpha_ / 255.0 * fade_);
}

// Native events -----------------------------------------------------------------------------------

void CWindowWnd::OnNativePaint(cairo_t* cr) {
  paintTarget_ = cr;
  Dispatcher::Instance().Deliver(hwnd_, WM_PAINT, 0, 0);
  paintTarget_ = nullptr;
}

void CWindowWnd::OnNativeMouse(UINT msg, int x, int y) {
  if (!enabled_ || !IsWindow(hwnd_)) return;
  if (msg == WM_LBUTTONDBLCLK && !(GetClassStyle() & CS_DBLCLKS)) msg = WM_LBUTTONDOWN;
  if (msg == WM_RBUTTONDBLCLK && !(GetClassStyle() & CS_DBLCLKS)) msg = WM_RBUTTONDOWN;
  Dispatcher& dispatcher = Dispatcher::Instance();
  int sx = rect_.left + x;
  int sy = rect_.top + y;
  if (msg == WM_MOUSEMOVE) {
    // Every window asks where the pointer is on each move, as the window system does: windows
    // watch the pointer there (hover), and a resizable one shows which edge it would drag.
    HWND self = hwnd_;
    LRESULT hit = dispatcher.Deliver(self, WM_NCHITTEST, 0, MAKELPARAM(sx, sy));
    if (!IsWindow(self)) return;
    if (resizable_ && native_) {
      if (hit < HTLEFT || hit > HTBOTTOMRIGHT) hit = HTCLIENT;
      if (hit != edgeUnderPointer_) {
        edgeUnderPointer_ = hit;
        native_->SetEdgeCursor(static_cast<int>(hit));
      }
    }
  }
  if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
    LRESULT hit = dispatcher.Deliver(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(sx, sy));
    if (hit == HTCAPTION) {
      if (msg == WM_LBUTTONDOWN && native_) native_->BeginMoveDrag(sx, sy);
      return;
    }
    if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
      if (msg == WM_LBUTTONDOWN && native_) native_->BeginResizeDrag(static_cast<int>(hit), sx, sy);
      return;
    }
  }
  dispatcher.Deliver(hwnd_, msg, 0, MAKELPARAM(x, y));
}

void CWindowWnd::OnNativeKey(WPARAM virtualKey) {
  if (!enabled_ || !IsWindow(hwnd_)) return;
  Dispatcher::Instance().Deliver(hwnd_, WM_KEYDOWN, virtualKey, 0);
}

void CWindowWnd::OnNativeWheel(int x, int y, int delta) {
  if (!enabled_ || !IsWindow(hwnd_) || delta == 0) return;
  // As the system sends it: the distance in the high word, the pointer in screen coordinates.
  Dispatcher::Instance().Deliver(hwnd_, WM_MOUSEWHEEL, MAKEWPARAM(0, std::clamp(delta, -32768, 32767)),
                                 MAKELPARAM(rect_.left + x, rect_.top + y));
}

void CWindowWnd::OnNativeFocus(bool gained) {
  HWND self = hwnd_;
  Dispatcher& dispatcher = Dispatcher::Instance();
  dispatcher.Deliver(self, WM_NCACTIVATE, gained ? TRUE : FALSE, 0);
  dispatcher.Deliver(self, WM_ACTIVATE, gained ? 1 : 0, 0);
  dispatcher.Deliver(self, gained ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
}

void CWindowWnd::OnNativeMoved(const CRect& screenRect) {
  bool moved = screenRect.left != rect_.left || screenRect.top != rect_.top;
  bool resized = screenRect.GetWidth() != rect_.GetWidth() || screenRect.GetHeight() != rect_.GetHeight();
  rect_ = screenRect;
  HWND self = hwnd_;
  if (moved) Dispatcher::Instance().Deliver(self, WM_MOVE, 0, MAKELPARAM(rect_.left, rect_.top));
  if (resized) {
    Dispatcher::Instance().Deliver(self, WM_SIZE, minimized_ ? SIZE_MINIMIZED : SIZE_RESTORED,
                                   MAKELPARAM(rect_.GetWidth(), rect_.GetHeight()));
  }
}

void CWindowWnd::OnNativeMinimized(bool minimized) {
  if (minimized == minimized_) return;
  minimized_ = minimized;
  Dispatcher::Instance().Deliver(hwnd_, WM_SIZE, minimized ? SIZE_MINIMIZED : SIZE_RESTORED,
                                 MAKELPARAM(rect_.GetWidth(), rect_.GetHeight()));
}

void CWindowWnd::OnNativeCloseRequest() {
  if (enabled_) Dispatcher::Instance().Deliver(hwnd_, WM_CLOSE, 0, 0);
}

// Functions by handle ----------------------------------------------------------------------------

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
