#include "toolkit/core/window_wnd.h"

#include <algorithm>

#include "toolkit/core/dispatcher.h"
#include "toolkit/core/window_table.h"

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
  params.className = GetWindowClassName() ? GetWindowClassName() : "";
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

void CWindowWnd::OnNativePaint(toolkit::Renderer& renderer) {
  paintTarget_ = &renderer;
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
