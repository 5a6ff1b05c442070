// Titled top-level windows published in the cross-process window registry, where another process
// finds and raises them by title.
#include "platform/desktop/window_registry.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/core/win_api.h"
#include "toolkit/core/window_wnd.h"
#include "toolkit/desktop/desktop.h"

namespace toolkit {
namespace {

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

void PublishTitledWindows() { SetTitledWindowHook(&OnTitledWindow); }

}  // namespace toolkit
