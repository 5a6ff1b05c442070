#pragma once
// The titled top-level windows of this user's session, across processes: each process that shows
// such windows listens for requests in a private folder of the user's; a process that looks for a
// title asks each of them. This is how a second client start finds and raises the first one, and
// how the installer sees that the client runs.

#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace platform {

class WindowRegistry {
 public:
  // The folder of this user's session where the registries listen.
  static std::string DefaultFolder();

  explicit WindowRegistry(std::string folder = DefaultFolder());
  ~WindowRegistry();
  WindowRegistry(const WindowRegistry&) = delete;
  WindowRegistry& operator=(const WindowRegistry&) = delete;

  // Makes title findable; raise runs (on the thread that calls Serve) when another process asks
  // for it. False when the socket cannot be made.
  bool Publish(const std::string& title, std::function<void()> raise);
  void Withdraw(const std::string& title);
  // The socket to watch for requests; -1 before the first Publish.
  int ListenFd() const { return listenFd_; }
  // Answers the requests waiting on the socket; never blocks.
  void Serve();

 private:
  std::string folder_;
  std::string socketPath_;
  int listenFd_ = -1;
  std::map<std::string, std::function<void()>> titles_;
};

// Makes folder, readable by its owner only, when missing; true when it is a folder of this user's that others cannot
// reach, the only kind the registry and the instance locks use.
bool EnsureRegistryFolder(const std::string& folder);

// Asks every live registry of this user for a window titled title; with raise, the first one that
// has it shows and raises it. True when one had it. Stale sockets of ended processes are removed.
bool FindWindowByTitle(const std::string& title, bool raise, const std::string& folder = WindowRegistry::DefaultFolder());

}  // namespace platform
