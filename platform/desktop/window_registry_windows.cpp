// The system keeps the registry itself: every top-level window of the session is found with
// EnumWindows and told by its title (GetWindowTextW), which the toolkit sets with SetWindowTextW.
// So publishing a title has nothing to make and serving has nothing to answer: Publish only
// remembers the title, there is no socket to watch (ListenFd stays -1), and a found window is shown
// and raised by this process through the system rather than by its owner's raise function. No
// folder is used either; the folder's name only keeps the instance locks of different folders apart.
#include <windows.h>

#include "platform/desktop/window_registry.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

// Titles are at most this long; a window with a longer one is not any of ours.
constexpr int kMaxTitle = 1024;

struct Search {
  std::wstring title;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  // Another process's window answers from the system's copy of its title, without a message that
  // a hung owner would leave waiting.
  wchar_t text[kMaxTitle + 1];
  int length = GetWindowTextW(window, text, kMaxTitle + 1);
  // Exactly, case included: FindWindowW would take "vymera" for "Vymera".
  if (length == static_cast<int>(search->title.size()) && search->title.compare(0, length, text, length) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

void Raise(HWND window) {
  // Asynchronously: a window whose owner hangs must not hang the one who asks.
  ShowWindowAsync(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(window);
}

}  // namespace

bool EnsureRegistryFolder(const std::string&) { return true; }  // no folder is used here

std::string WindowRegistry::DefaultFolder() { return "vymera-windows"; }

WindowRegistry::WindowRegistry(std::string folder) : folder_(std::move(folder)) {}

WindowRegistry::~WindowRegistry() = default;

bool WindowRegistry::Publish(const std::string& title, std::function<void()> raise) {
  titles_[title] = std::move(raise);
  return true;
}

void WindowRegistry::Withdraw(const std::string& title) { titles_.erase(title); }

void WindowRegistry::Serve() {}

bool FindWindowByTitle(const std::string& title, bool raise, const std::string&) {
  Search search{Widen(title)};
  if (search.title.empty() || search.title.size() > kMaxTitle) return false;
  EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  if (raise) Raise(search.found);
  return true;
}

}  // namespace platform
