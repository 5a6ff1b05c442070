#include "toolkit/backend/win32/system_window.h"

#include <windows.h>
#include <windowsx.h>
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <set>

#include "toolkit/backend/win32/gdiplus_canvas.h"
#include "toolkit/backend/win32/system_loop.h"
#include "toolkit/backend/win32/wide.h"

namespace toolkit::win32 {
namespace {

HWND H(void* handle) { return static_cast<HWND>(handle); }

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* window = reinterpret_cast<SystemWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window && window->Handle()) return window->Handle(msg, wParam, lParam);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* edit = reinterpret_cast<SystemEdit*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return edit ? edit->Handle(msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Registers the class once per name; double clicks are reported, the toolkit folds them for classes
// that do not want them.
bool EnsureClass(const std::wstring& name) {
  static std::set<std::wstring> registered;
  if (registered.count(name)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name.c_str();
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  registered.insert(name);
  return true;
}

Box ScreenRectOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

LPCWSTR EdgeCursor(int hit) {
  switch (hit) {
    case HTLEFT:
    case HTRIGHT:
      return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
      return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
      return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      return IDC_SIZENESW;
    default:
      return nullptr;
  }
}

}  // namespace

std::unique_ptr<SystemWindow> SystemWindow::Create(WindowEvents* events, const WindowSpec& spec) {
  SystemLoop::Instance();  // the pump exists before the first window's messages
  std::wstring className = Widen(spec.className.empty() ? std::string("UIWindow") : spec.className);
  if (!EnsureClass(className)) return nullptr;
  std::unique_ptr<SystemWindow> window(new SystemWindow(events));
  DWORD exStyle = 0;
  if (spec.toolWindow) exStyle |= WS_EX_TOOLWINDOW;
  if (spec.topMost) exStyle |= WS_EX_TOPMOST;
  // No caption and no frame: the skin draws all of the window.
  DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU;
  HWND hwnd = CreateWindowExW(exStyle, className.c_str(), Widen(spec.title).c_str(), style, spec.rect.left,
                              spec.rect.top, spec.rect.Width(), spec.rect.Height(), H(spec.owner), nullptr,
                              GetModuleHandleW(nullptr), window.get());
  if (!hwnd) return nullptr;
  window->hwnd_ = hwnd;
  return window;
}

SystemWindow::~SystemWindow() {
  HWND hwnd = H(hwnd_);
  hwnd_ = nullptr;  // no more events for a toolkit window that is going
  if (hwnd) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
  if (icon_) DestroyIcon(static_cast<HICON>(icon_));
}

void SystemWindow::SetTitle(const std::string& title) { SetWindowTextW(H(hwnd_), Widen(title).c_str()); }

void SystemWindow::SetDecorated(bool decorated) {
  LONG_PTR style = GetWindowLongPtrW(H(hwnd_), GWL_STYLE);
  LONG_PTR frame = WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX;
  style = decorated ? ((style & ~WS_POPUP) | frame) : ((style & ~frame) | WS_POPUP);
  SetWindowLongPtrW(H(hwnd_), GWL_STYLE, style);
  SetWindowPos(H(hwnd_), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void SystemWindow::SetTopMost(bool topMost) {
  SetWindowPos(H(hwnd_), topMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SystemWindow::SetBounds(const Box& r) {
  SetWindowPos(H(hwnd_), nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void SystemWindow::Show(bool visible, bool minimized, bool activate) {
  HWND hwnd = H(hwnd_);
  if (!visible) {
    ShowWindow(hwnd, SW_HIDE);
  } else if (minimized) {
    ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
  } else if (activate) {
    ShowWindow(hwnd, IsIconic(hwnd) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
  } else {
    ShowWindow(hwnd, IsIconic(hwnd) ? SW_SHOWNOACTIVATE : SW_SHOWNA);
  }
}

void SystemWindow::Invalidate() { InvalidateRect(H(hwnd_), nullptr, FALSE); }

void SystemWindow::SetShape(const std::vector<Box>& bands) {
  if (bands.empty()) {
    SetWindowRgn(H(hwnd_), nullptr, TRUE);
    return;
  }
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  for (const Box& b : bands) {
    HRGN band = CreateRectRgn(b.left, b.top, b.right, b.bottom);
    CombineRgn(region, region, band, RGN_OR);
    DeleteObject(band);
  }
  // The system owns the region from here.
  if (!SetWindowRgn(H(hwnd_), region, TRUE)) DeleteObject(region);
}

void SystemWindow::SetOpacity(double opacity) {
  HWND hwnd = H(hwnd_);
  LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  if (opacity >= 1.0) {
    if (ex & WS_EX_LAYERED) SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    return;
  }
  if (!(ex & WS_EX_LAYERED)) SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  auto alpha = static_cast<BYTE>(opacity <= 0 ? 0 : opacity * 255 + 0.5);
  SetLayeredWindowAttributes(hwnd, 0, alpha, LWA_ALPHA);
}

void SystemWindow::SetEnabled(bool enabled) { EnableWindow(H(hwnd_), enabled ? TRUE : FALSE); }

void SystemWindow::BeginMoveDrag() { BeginResizeDrag(HTCAPTION); }

void SystemWindow::BeginResizeDrag(int edge) {
  HWND hwnd = H(hwnd_);
  // Only while the button is really held: the system's loop ends at its release, and a press that
  // only came as a message (another program's, a test's) would leave the loop waiting for ever.
  if (GetKeyState(VK_LBUTTON) >= 0 && GetAsyncKeyState(VK_LBUTTON) >= 0) return;
  DWORD pos = GetMessagePos();
  ReleaseCapture();
  // The system's move and size loop runs until the button is let go; the toolkit's timers go on.
  ForeignLoop loop;
  SendMessageW(hwnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(edge), static_cast<LPARAM>(pos));
}

void SystemWindow::SetEdgeCursor(int hit) { edgeCursor_ = hit; }

void SystemWindow::SetIconFile(const std::string& pngPath) {
  Gdiplus::Bitmap bitmap(Widen(pngPath).c_str());
  HICON icon = nullptr;
  if (bitmap.GetLastStatus() != Gdiplus::Ok || bitmap.GetHICON(&icon) != Gdiplus::Ok) return;
  SendMessageW(H(hwnd_), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SendMessageW(H(hwnd_), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  if (icon_) DestroyIcon(static_cast<HICON>(icon_));
  icon_ = icon;
}

void SystemWindow::SetTooltip(const std::string&) {
  // Skins' tool tips are not shown as system tips yet; the text stays with the control.
}

void SystemWindow::PaintInto(std::vector<uint32_t>& pixels, int& width, int& height) {
  RECT client{};
  GetClientRect(H(hwnd_), &client);
  width = client.right;
  height = client.bottom;
  if (width <= 0 || height <= 0) return;
  pixels.assign(static_cast<size_t>(width) * height, 0);
  Canvas canvas(pixels.data(), width, height);
  events_->Paint(canvas);
}

namespace {

// Draws the visible child windows (the edit fields over edit controls) over the pixels, as the
// screen shows them over the skin, where the system's controls print themselves.
void PrintChildren(HWND hwnd, std::vector<uint32_t>& pixels, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dib);
  auto* surface = static_cast<uint32_t*>(bits);
  std::copy(pixels.begin(), pixels.end(), surface);
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    POINT previous{};
    SetViewportOrgEx(dc, r.left, r.top, &previous);
    SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_ERASEBKGND);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    GdiFlush();
    // GDI leaves alpha alone: what the child drew is opaque.
    for (int y = std::max(0L, r.top); y < std::min(static_cast<LONG>(height), r.bottom); ++y) {
      for (int x = std::max(0L, r.left); x < std::min(static_cast<LONG>(width), r.right); ++x) {
        surface[static_cast<size_t>(y) * width + x] |= 0xFF000000u;
      }
    }
  }
  GdiFlush();
  std::copy(surface, surface + pixels.size(), pixels.begin());
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(dib);
}

}  // namespace

bool SystemWindow::SavePicture(const std::string& path) {
  std::vector<uint32_t> pixels;
  int width = 0, height = 0;
  PaintInto(pixels, width, height);
  if (width <= 0 || height <= 0) return false;
  PrintChildren(H(hwnd_), pixels, width, height);
  // Outside the window's region nothing shows on the screen: transparent in the picture.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(H(hwnd_), region) != ERROR) {
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (!PtInRegion(region, x, y)) pixels[static_cast<size_t>(y) * width + x] = 0;
      }
    }
  }
  DeleteObject(region);
  return WritePng(pixels.data(), width, height, path);
}

intptr_t SystemWindow::Handle(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = H(hwnd_);
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      std::vector<uint32_t> pixels;
      int width = 0, height = 0;
      PaintInto(pixels, width, height);
      if (width > 0 && height > 0) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // rows top to bottom
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        tracking_ = TrackMouseEvent(&track) != FALSE;
      }
      events_->Mouse(msg, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      events_->Mouse(msg, -1, -1);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
      SetCapture(hwnd);
      events_->Mouse(msg, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (GetCapture() == hwnd && !(wParam & (MK_LBUTTON | MK_RBUTTON))) ReleaseCapture();
      events_->Mouse(msg, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSEWHEEL: {
      POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      ScreenToClient(hwnd, &p);
      events_->Wheel(p.x, p.y, GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    }
    case WM_KEYDOWN:
      events_->Key(wParam, GetKeyState(VK_SHIFT) < 0);
      return 0;
    case WM_ACTIVATE:
      events_->Focus(LOWORD(wParam) != WA_INACTIVE);
      break;
    case WM_MOVE:
      events_->Moved(ScreenRectOf(hwnd));
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        events_->Minimized(true);
      } else {
        events_->Minimized(false);
        events_->Moved(ScreenRectOf(hwnd));
      }
      return 0;
    case WM_CLOSE:
      events_->CloseRequest();
      return 0;
    case WM_COMMAND:
      if (lParam) {
        auto* edit = reinterpret_cast<SystemEdit*>(GetWindowLongPtrW(reinterpret_cast<HWND>(lParam), GWLP_USERDATA));
        if (edit && GetParent(reinterpret_cast<HWND>(lParam)) == hwnd) edit->OnCommand(HIWORD(wParam));
      }
      return 0;
    case WM_CTLCOLOREDIT: {
      auto* edit = reinterpret_cast<SystemEdit*>(GetWindowLongPtrW(reinterpret_cast<HWND>(lParam), GWLP_USERDATA));
      if (!edit) break;
      uint32_t rgb = edit->TextColor();
      SetTextColor(reinterpret_cast<HDC>(wParam), RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
      SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
      return reinterpret_cast<intptr_t>(GetStockObject(WHITE_BRUSH));
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && EdgeCursor(edgeCursor_)) {
        SetCursor(LoadCursorW(nullptr, EdgeCursor(edgeCursor_)));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Edit fields ---------------------------------------------------------------------------------------

std::unique_ptr<SystemEdit> SystemEdit::Create(void* parent, EditEvents* events) {
  HWND hwnd = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL | ES_LEFT, 0, 0, 0, 0, H(parent), nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  if (!hwnd) return nullptr;
  std::unique_ptr<SystemEdit> edit(new SystemEdit(events));
  edit->hwnd_ = hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(edit.get()));
  edit->previous_ = reinterpret_cast<void*>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
  return edit;
}

SystemEdit::~SystemEdit() {
  HWND hwnd = H(hwnd_);
  if (hwnd) {
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
  if (font_) DeleteObject(static_cast<HFONT>(font_));
}

void SystemEdit::SetBounds(const Box& r) {
  bounds_ = r;
  // A one-line field draws its text at its top: it takes one line's height, in the middle of the
  // place, as the skin's own text sits there.
  int height = lineHeight_ > 0 && lineHeight_ < r.Height() ? lineHeight_ : r.Height();
  int top = r.top + (r.Height() - height) / 2;
  MoveWindow(H(hwnd_), r.left, top, r.Width(), height, TRUE);
}

void SystemEdit::SetText(const std::string& text) {
  settingText_ = true;  // the control set it: no change to report back
  SetWindowTextW(H(hwnd_), Widen(text).c_str());
  settingText_ = false;
}

void SystemEdit::SetPassword(bool on) {
  SendMessageW(H(hwnd_), EM_SETPASSWORDCHAR, on ? 0x25CF : 0, 0);
  InvalidateRect(H(hwnd_), nullptr, TRUE);
}

void SystemEdit::SetReadOnly(bool on) { SendMessageW(H(hwnd_), EM_SETREADONLY, on ? TRUE : FALSE, 0); }

void SystemEdit::SetVisible(bool on) { ShowWindow(H(hwnd_), on ? SW_SHOWNA : SW_HIDE); }

void SystemEdit::SetEnabled(bool on) { EnableWindow(H(hwnd_), on ? TRUE : FALSE); }

void SystemEdit::SetFont(const std::string& family, int pixelSize) {
  HFONT font = CreateFontW(-(pixelSize > 0 ? pixelSize : 12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH,
                           Widen(family).c_str());
  if (!font) return;
  SendMessageW(H(hwnd_), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (font_) DeleteObject(static_cast<HFONT>(font_));
  font_ = font;
  if (HDC dc = GetDC(H(hwnd_))) {
    HGDIOBJ before = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(dc, &metrics)) lineHeight_ = metrics.tmHeight + 2;
    SelectObject(dc, before);
    ReleaseDC(H(hwnd_), dc);
  }
  if (bounds_.Width() > 0) SetBounds(bounds_);
}

void SystemEdit::SetTextColor(uint32_t rgb) {
  color_ = rgb & 0xFFFFFF;
  InvalidateRect(H(hwnd_), nullptr, TRUE);
}

void SystemEdit::Focus() { SetFocus(H(hwnd_)); }

void SystemEdit::Blur() {
  if (GetFocus() == H(hwnd_)) SetFocus(GetParent(H(hwnd_)));
}

void SystemEdit::OnCommand(unsigned code) {
  if (code != EN_CHANGE || settingText_) return;
  int length = GetWindowTextLengthW(H(hwnd_));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(H(hwnd_), text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  events_->Changed(Narrow(text));
}

intptr_t SystemEdit::Handle(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = H(hwnd_);
  auto previous = reinterpret_cast<WNDPROC>(previous_);
  switch (msg) {
    case WM_KEYDOWN:
      // The keys that move on or answer a dialog go to the window's control, not into the text.
      if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_TAB) {
        events_->Key(wParam);
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == '\r' || wParam == '\t' || wParam == 27) return 0;
      break;
    case WM_SETFOCUS:
      events_->Focus(true);
      break;
    case WM_KILLFOCUS:
      events_->Focus(false);
      break;
    default:
      break;
  }
  return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
}

}  // namespace toolkit::win32
