// What a start does with the lock and the window, the same on every platform.
#include "platform/desktop/single_instance.h"

#include <thread>

#include "platform/desktop/window_registry.h"

namespace platform {
namespace {
constexpr auto kPollInterval = std::chrono::milliseconds(25);
}  // namespace

bool ClaimSingleInstance(InstanceLock& lock, const std::string& title, std::chrono::milliseconds wait,
                         const std::string& folder) {
  if (!lock.Usable()) return !FindWindowByTitle(title, true, folder);
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (true) {
    if (lock.TryTake()) return true;
    // The holder shows its window once it is created; until then there is nothing to raise.
    if (FindWindowByTitle(title, true, folder)) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace platform
