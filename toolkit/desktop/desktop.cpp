#include "toolkit/desktop/desktop.h"

#include <map>

#include "platform/desktop/window_registry.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/core/window_wnd.h"

namespace toolkit {

// Real-desktop implementations (gtk/gtk_desktop.cpp).
int GtkMessageBox(NativeWindow* owner, const std::string& text, const std::string& caption, UINT type);
std::optional<std::string> GtkBrowseForFolder(NativeWindow* owner, const std::string& title);
std::unique_ptr<TrayIcon> CreateGtkTrayIcon(HWND target, UINT message, UINT id, const std::string& iconPng,
                                            const std::string& tip);

namespace {
int g_answer = IDOK;
std::string* g_lastText = new std::string();
std::optional<std::string>* g_folder = new std::optional<std::string>();

bool Headless() { return Dispatcher::Instance().GetBackend().IsHeadless(); }
NativeWindow* NativeOf(HWND hwnd) {
  CWindowWnd* w = Dispatcher::Instance().Find(hwnd);
  return w ? w->Native() : nullptr;
}

class HeadlessTray : public TrayIcon {
 public:
  HeadlessTray(HWND target, UINT message, UINT id) : TrayIcon(target, message, id) {}
  Mode GetMode() const override { return Mode::Headless; }
  void SetTip(const CStdString&) override {}
};

platform::WindowRegistry& Registry() {
  static auto* registry = new platform::WindowRegistry();
  return *registry;
}

void OnTitledWindow(HWND hwnd, const std::string& title, bool created) {
  platform::WindowRegistry& registry = Registry();
  if (!created) {
    registry.Withdraw(title);
    return;
  }
  bool first = registry.ListenFd() < 0;
  registry.Publish(title, [hwnd] {
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd);
  });
  if (first && registry.ListenFd() >= 0) {
    Dispatcher::Instance().GetBackend().WatchReadable(registry.ListenFd(), [] { Registry().Serve(); });
  }
}
}  // namespace

void TrayIcon::Activate() const { PostMessage(target_, message_, id_, WM_LBUTTONDBLCLK); }

void TrayIcon::ContextMenu() const {
  PostMessage(target_, message_, id_, WM_RBUTTONDOWN);
  PostMessage(target_, message_, id_, WM_RBUTTONUP);
}

std::unique_ptr<TrayIcon> TrayIcon::Create(HWND target, UINT message, UINT id, const std::string& iconPng,
                                           const CStdString& tip) {
  if (!IsWindow(target)) return nullptr;
  if (Headless()) return std::make_unique<HeadlessTray>(target, message, id);
  return CreateGtkTrayIcon(target, message, id, iconPng, tip.str());
}

int ShowMessageBox(HWND owner, const CStdString& text, const CStdString& caption, UINT type) {
  if (Headless()) {
    *g_lastText = text.str();
    return g_answer;
  }
  bool disable = IsWindow(owner) && IsWindowEnabled(owner);
  if (disable) EnableWindow(owner, false);
  int result = GtkMessageBox(NativeOf(owner), text.str(), caption.str(), type);
  if (disable) EnableWindow(owner, true);
  return result;
}

std::optional<std::string> BrowseForFolder(HWND owner, const CStdString& title) {
  if (Headless()) return *g_folder;
  return GtkBrowseForFolder(NativeOf(owner), title.str());
}

void PublishTitledWindows() { SetTitledWindowHook(&OnTitledWindow); }

namespace headless {
void SetMessageBoxAnswer(int answer) { g_answer = answer; }
const std::string& LastMessageBoxText() { return *g_lastText; }
void SetFolderAnswer(std::optional<std::string> folder) { *g_folder = std::move(folder); }
}  // namespace headless

}  // namespace toolkit
