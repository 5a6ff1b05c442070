// Each registry is a Unix socket in $XDG_RUNTIME_DIR/vymera-windows (a private folder under /tmp when
// there is no runtime folder); binding and the removal of stale sockets are serialised by a lock file.
#include "platform/desktop/window_registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace platform {
namespace {

constexpr size_t kMaxRequest = 4096;

bool MakeAddress(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size());
  return true;
}

// Serialises binding and the removal of stale sockets between processes.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder) : fd_(open((folder + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~FolderLock() {
    if (fd_ >= 0) close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

// Sends one request and reads the one-byte answer; nothing when nobody listens there.
std::optional<char> Ask(const std::string& path, const std::string& request) {
  sockaddr_un addr;
  if (!MakeAddress(path, addr)) return std::nullopt;
  // Not blocking: a process that listens but no longer accepts (hung, or stopped) fills its queue,
  // and a blocking connect would then wait for it for ever.
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return std::nullopt;
  std::optional<char> answer;
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno == EAGAIN) answer = '0';  // alive but not answering: not a stale socket
    close(fd);
    return answer;
  }
  if (send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
    shutdown(fd, SHUT_WR);
    pollfd p{fd, POLLIN, 0};
    char c = 0;
    if (poll(&p, 1, 2000) == 1 && recv(fd, &c, 1, 0) == 1) answer = c;
    if (!answer) answer = '0';  // alive but silent: not a stale socket
  }
  close(fd);
  return answer;
}

// True when nothing listens at path. Only meaningful under the folder lock: a registry binds its
// socket and starts listening under that lock, so outside it a socket may be refused merely
// because it is half made.
bool Refused(const std::string& path) {
  sockaddr_un addr;
  if (!MakeAddress(path, addr)) return false;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  bool refused = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 && errno == ECONNREFUSED;
  close(fd);
  return refused;
}

}  // namespace

bool EnsureRegistryFolder(const std::string& folder) {
  mkdir(folder.c_str(), 0700);
  struct stat st {};
  // Only a folder of our own, closed to others, may carry our windows' sockets.
  return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 077) == 0;
}

std::string WindowRegistry::DefaultFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/vymera-windows";
  return "/tmp/vymera-windows-" + std::to_string(getuid());
}

WindowRegistry::WindowRegistry(std::string folder) : folder_(std::move(folder)) {}

WindowRegistry::~WindowRegistry() {
  if (listenFd_ >= 0) {
    close(listenFd_);
    unlink(socketPath_.c_str());
  }
}

bool WindowRegistry::Publish(const std::string& title, std::function<void()> raise) {
  if (listenFd_ < 0) {
    if (!EnsureRegistryFolder(folder_)) return false;
    FolderLock lock(folder_);
    socketPath_ = folder_ + "/" + std::to_string(getpid()) + ".sock";
    unlink(socketPath_.c_str());  // left by an ended process that had our id
    sockaddr_un addr;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    if (!MakeAddress(socketPath_, addr) || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(fd, 8) != 0) {
      close(fd);
      return false;
    }
    listenFd_ = fd;
  }
  titles_[title] = std::move(raise);
  return true;
}

void WindowRegistry::Withdraw(const std::string& title) { titles_.erase(title); }

void WindowRegistry::Serve() {
  if (listenFd_ < 0) return;
  while (true) {
    int client = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    std::string request;
    char buffer[512];
    pollfd p{client, POLLIN, 0};
    while (request.size() < kMaxRequest && poll(&p, 1, 500) == 1) {
      ssize_t n = recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    // "find <title>" or "raise <title>".
    char answer = '0';
    size_t blank = request.find(' ');
    if (blank != std::string::npos) {
      std::string verb = request.substr(0, blank);
      auto it = titles_.find(request.substr(blank + 1));
      if (it != titles_.end()) {
        answer = '1';
        if (verb == "raise" && it->second) it->second();
      }
    }
    send(client, &answer, 1, MSG_NOSIGNAL);
    close(client);
  }
}

bool FindWindowByTitle(const std::string& title, bool raise, const std::string& folder) {
  std::vector<std::string> sockets;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir)) {
      std::string name = e->d_name;
      if (name.size() > 5 && name.compare(name.size() - 5, 5, ".sock") == 0) sockets.push_back(folder + "/" + name);
    }
    closedir(dir);
  }
  std::string own = folder + "/" + std::to_string(getpid()) + ".sock";
  for (const std::string& path : sockets) {
    if (path == own) continue;  // this process answers from its own loop, which is not running here
    std::optional<char> answer = Ask(path, (raise ? "raise " : "find ") + title);
    if (!answer) {
      // Asked again under the lock: the refusal may have come between another process's bind and
      // its listen, and removing that socket would hide a live window for good.
      FolderLock lock(folder);
      if (Refused(path)) unlink(path.c_str());
      continue;
    }
    if (*answer == '1') return true;
  }
  return false;
}

}  // namespace platform
