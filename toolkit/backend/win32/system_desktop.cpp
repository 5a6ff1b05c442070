#include "toolkit/backend/win32/system_desktop.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <shlobj.h>

#include "toolkit/backend/win32/system_loop.h"
#include "toolkit/backend/win32/wide.h"

namespace toolkit::win32 {
namespace {

constexpr UINT kTrayId = 1;
constexpr size_t kTipChars = 127;  // the record's tip holds 128 characters with the terminator

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

LRESULT CALLBACK TrayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* tray = reinterpret_cast<SystemTray*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (tray) return tray->Handle(msg, wParam, lParam);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void FillRecord(NOTIFYICONDATAW& data, void* window) {
  data = NOTIFYICONDATAW{};
  data.cbSize = sizeof data;
  data.hWnd = static_cast<HWND>(window);
  data.uID = kTrayId;
}

}  // namespace

int RunMessageBox(void* owner, const std::string& text, const std::string& caption, unsigned type) {
  ForeignLoop loop;
  return MessageBoxW(static_cast<HWND>(owner), Widen(text).c_str(), Widen(caption).c_str(),
                     type | MB_SETFOREGROUND);
}

std::optional<std::string> RunFolderPicker(void* owner, const std::string& title) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  std::wstring wideTitle = Widen(title);
  BROWSEINFOW info{};
  info.hwndOwner = static_cast<HWND>(owner);
  info.lpszTitle = wideTitle.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  std::optional<std::string> folder;
  PIDLIST_ABSOLUTE picked = nullptr;
  {
    ForeignLoop loop;
    picked = SHBrowseForFolderW(&info);
  }
  if (picked) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(picked, path) && path[0]) folder = Narrow(path);
    CoTaskMemFree(picked);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return folder;
}

bool ShellOpen(const std::string& url, int showCommand) {
  auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, showCommand));
  return result > 32;
}

Box PrimaryScreen() { return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

Box CursorPosition() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y, p.x, p.y};
}

Box WorkArea() {
  RECT r{};
  if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return PrimaryScreen();
  return {r.left, r.top, r.right, r.bottom};
}

// Tray ----------------------------------------------------------------------------------------------

std::unique_ptr<SystemTray> SystemTray::Create(TrayEvents* events, const std::string& iconPng, const std::string& tip) {
  SystemLoop::Instance();
  TaskbarCreatedMessage();
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = TrayProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TrayIconClass";
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return nullptr;
  std::unique_ptr<SystemTray> tray(new SystemTray(events));
  // A hidden top-level window (not a message-only one): only those hear the shell's broadcast.
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, nullptr, nullptr, wc.hInstance, nullptr);
  if (!window) return nullptr;
  tray->window_ = window;
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(tray.get()));
  if (!iconPng.empty()) {
    Gdiplus::Bitmap bitmap(Widen(iconPng).c_str());
    HICON icon = nullptr;
    if (bitmap.GetLastStatus() == Gdiplus::Ok && bitmap.GetHICON(&icon) == Gdiplus::Ok) {
      tray->icon_ = icon;
      tray->ownIcon_ = true;
    }
  }
  if (!tray->icon_) tray->icon_ = LoadIconW(nullptr, IDI_APPLICATION);
  tray->tip_ = Widen(tip).substr(0, kTipChars);
  if (!tray->Add()) return nullptr;
  return tray;
}

SystemTray::~SystemTray() {
  Remove();
  if (window_) {
    SetWindowLongPtrW(static_cast<HWND>(window_), GWLP_USERDATA, 0);
    DestroyWindow(static_cast<HWND>(window_));
  }
  if (ownIcon_ && icon_) DestroyIcon(static_cast<HICON>(icon_));
}

bool SystemTray::Add() {
  NOTIFYICONDATAW data;
  FillRecord(data, window_);
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = static_cast<HICON>(icon_);
  wcsncpy(data.szTip, tip_.c_str(), kTipChars);
  return Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
}

void SystemTray::SetTip(const std::string& tip) {
  tip_ = Widen(tip).substr(0, kTipChars);
  if (removed_) return;
  NOTIFYICONDATAW data;
  FillRecord(data, window_);
  data.uFlags = NIF_TIP;
  wcsncpy(data.szTip, tip_.c_str(), kTipChars);
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

bool SystemTray::Remove() {
  if (removed_) return true;
  NOTIFYICONDATAW data;
  FillRecord(data, window_);
  if (!Shell_NotifyIconW(NIM_DELETE, &data)) return false;
  removed_ = true;
  return true;
}

intptr_t SystemTray::Handle(unsigned msg, uintptr_t wParam, intptr_t lParam) {
  HWND hwnd = static_cast<HWND>(window_);
  if (msg == TaskbarCreatedMessage()) {
    // The taskbar came back (explorer restarted): the icon it forgot goes back, unless removed.
    if (!removed_) Add();
    return 0;
  }
  if (msg == kTrayCallbackMessage && wParam == kTrayId) {
    switch (LOWORD(lParam)) {
      case WM_LBUTTONDBLCLK:
        events_->Activate();
        break;
      case WM_RBUTTONUP:
        events_->ContextMenu();
        break;
      default:
        break;
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace toolkit::win32
