// The lock is an flock on a file in the window registry's folder.
#include "platform/desktop/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>

#include <thread>

#include "platform/desktop/window_registry.h"

namespace platform {
namespace {
constexpr auto kPollInterval = std::chrono::milliseconds(25);
}  // namespace

InstanceLock::InstanceLock(std::string folder, std::string name)
    : folder_(std::move(folder)), path_(folder_ + "/" + std::move(name) + ".instance") {}

bool InstanceLock::Usable() {
  if (!fd_ && EnsureRegistryFolder(folder_)) {
    // Close-on-exec: a program this one starts (a browser, the updater) must not keep the lock.
    fd_ = UniqueFd(open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  }
  return static_cast<bool>(fd_);
}

bool InstanceLock::TryTake() {
  if (!held_ && Usable()) held_ = flock(fd_.get(), LOCK_EX | LOCK_NB) == 0;
  return held_;
}

bool ClaimSingleInstance(InstanceLock& lock, const std::string& title, std::chrono::milliseconds wait,
                         const std::string& folder) {
  if (!lock.Usable()) return !FindWindowByTitle(title, true, folder);
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (true) {
    if (lock.TryTake()) return true;
    // The holder publishes its window once it is created; until then there is nothing to raise.
    if (FindWindowByTitle(title, true, folder)) return false;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace platform
