#pragma once
// A TCP server on 127.0.0.1 that answers each connection with bytes of the test's own choosing, in
// the test's own rhythm: for answers no HTTP server library sends, such as a header block that
// drips in a byte at a time or never ends. Connections are served one after the other; each gets
// the script once its request's header block has arrived. A script's pause ends early when its
// peer goes away or the server stops.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace testing_support {

class ScriptedServer {
 public:
  class Connection;
  using Script = std::function<void(Connection&)>;

  // What a script does with its connection. Both calls give false once the peer has gone or the
  // server stops; the script should then return.
  class Connection {
   public:
    Connection(ScriptedServer& server, int fd) : server_(server), fd_(fd) {}
    bool Send(std::string_view bytes) {
      while (!bytes.empty()) {
        ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(sent));
      }
      return !server_.stopping_;
    }
    bool Pause(std::chrono::milliseconds time) {
      const auto end = std::chrono::steady_clock::now() + time;
      while (!server_.stopping_) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return true;
        pollfd entry{fd_, POLLRDHUP, 0};
        if (::poll(&entry, 1, static_cast<int>(std::min<long long>(left.count(), 50))) > 0 &&
            (entry.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) {
          return false;
        }
      }
      return false;
    }

   private:
    ScriptedServer& server_;
    int fd_;
  };

  explicit ScriptedServer(Script script) : script_(std::move(script)) {}
  ~ScriptedServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ >= 0) ::close(listener_);
  }
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  // Listens on an ephemeral port and serves on a thread; the port, or 0 when that failed.
  int Start() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      return 0;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
    return port_;
  }

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  int Connections() const { return connections_; }

 private:
  // Waits up to 50 ms for fd to become readable; false when it did not.
  static bool Readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return ::poll(&entry, 1, 50) == 1;
  }

  void Serve() {
    while (!stopping_) {
      if (!Readable(listener_)) continue;
      int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      std::string request;
      char buffer[4096];
      while (!stopping_ && request.find("\r\n\r\n") == std::string::npos) {
        if (!Readable(fd)) continue;
        ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<size_t>(got));
      }
      if (request.find("\r\n\r\n") != std::string::npos) {
        ++connections_;
        Connection connection(*this, fd);
        script_(connection);
      }
      ::close(fd);
    }
  }

  Script script_;
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
  std::atomic<int> connections_{0};
  std::atomic<bool> stopping_{false};
};

}  // namespace testing_support
