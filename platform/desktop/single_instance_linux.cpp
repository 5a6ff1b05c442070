// The lock is an flock on a file in the window registry's folder.
#include "platform/desktop/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>

#include "platform/desktop/window_registry.h"
#include "platform/unique_fd.h"

namespace platform {

struct InstanceLock::Handle {
  UniqueFd fd;
};

InstanceLock::InstanceLock(std::string folder, std::string name)
    : folder_(std::move(folder)), name_(std::move(name)), handle_(std::make_unique<Handle>()) {}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::Usable() {
  if (!handle_->fd && EnsureRegistryFolder(folder_)) {
    std::string path = folder_ + "/" + name_ + ".instance";
    // Close-on-exec: a program this one starts (a browser, the updater) must not keep the lock.
    handle_->fd = UniqueFd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  }
  return static_cast<bool>(handle_->fd);
}

bool InstanceLock::TryTake() {
  if (!held_ && Usable()) held_ = flock(handle_->fd.get(), LOCK_EX | LOCK_NB) == 0;
  return held_;
}

}  // namespace platform
