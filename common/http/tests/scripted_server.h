#pragma once
// A TCP server on 127.0.0.1 that answers each connection with bytes of the test's own choosing, in
// the test's own rhythm: for answers no HTTP server library sends, such as a header block that
// drips in a byte at a time or never ends. Connections are served one after the other; each gets
// the script once its request's header block has arrived. A script's pause ends early when its
// peer goes away or the server stops.

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace testing_support {

// The few socket calls the server makes, on Winsock or on POSIX sockets.
namespace scripted_socket {
#ifdef _WIN32
using Socket = SOCKET;
inline constexpr Socket kNone = INVALID_SOCKET;
inline constexpr int kSendFlags = 0;
inline Socket Open() {
  static const bool started = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started ? ::socket(AF_INET, SOCK_STREAM, 0) : kNone;
}
inline Socket Accept(Socket listener) { return ::accept(listener, nullptr, nullptr); }
inline void Close(Socket fd) { ::closesocket(fd); }
inline int Poll(WSAPOLLFD* entry, int timeout) { return ::WSAPoll(entry, 1, timeout); }
using PollEntry = WSAPOLLFD;
// Winsock has no sign of a peer's half-close: readable, with nothing to read, is the peer gone.
inline bool PeerGone(Socket fd, int timeout) {
  PollEntry entry{fd, POLLRDNORM, 0};
  if (Poll(&entry, timeout) <= 0) return false;
  char byte;
  return (entry.revents & (POLLHUP | POLLERR)) != 0 || ::recv(fd, &byte, 1, MSG_PEEK) <= 0;
}
#else
using Socket = int;
inline constexpr Socket kNone = -1;
inline constexpr int kSendFlags = MSG_NOSIGNAL;
inline Socket Open() { return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0); }
inline Socket Accept(Socket listener) { return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC); }
inline void Close(Socket fd) { ::close(fd); }
using PollEntry = pollfd;
inline int Poll(pollfd* entry, int timeout) { return ::poll(entry, 1, timeout); }
inline bool PeerGone(Socket fd, int timeout) {
  pollfd entry{fd, POLLRDHUP, 0};
  return ::poll(&entry, 1, timeout) > 0 && (entry.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}
#endif
}  // namespace scripted_socket

class ScriptedServer {
 public:
  class Connection;
  using Script = std::function<void(Connection&)>;

  // What a script does with its connection. Both calls give false once the peer has gone or the
  // server stops; the script should then return.
  class Connection {
   public:
    Connection(ScriptedServer& server, scripted_socket::Socket fd) : server_(server), fd_(fd) {}
    bool Send(std::string_view bytes) {
      while (!bytes.empty()) {
        const auto sent = ::send(fd_, bytes.data(), static_cast<int>(bytes.size()), scripted_socket::kSendFlags);
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
        if (scripted_socket::PeerGone(fd_, static_cast<int>(std::min<long long>(left.count(), 50)))) return false;
      }
      return false;
    }

   private:
    ScriptedServer& server_;
    scripted_socket::Socket fd_;
  };

  explicit ScriptedServer(Script script) : script_(std::move(script)) {}
  ~ScriptedServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != scripted_socket::kNone) scripted_socket::Close(listener_);
  }
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  // Listens on an ephemeral port and serves on a thread; the port, or 0 when that failed.
  int Start() {
    listener_ = scripted_socket::Open();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ == scripted_socket::kNone ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
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
  static bool Readable(scripted_socket::Socket fd) {
    scripted_socket::PollEntry entry{fd, POLLIN, 0};
    return scripted_socket::Poll(&entry, 50) == 1;
  }

  void Serve() {
    while (!stopping_) {
      if (!Readable(listener_)) continue;
      const scripted_socket::Socket fd = scripted_socket::Accept(listener_);
      if (fd == scripted_socket::kNone) continue;
      std::string request;
      char buffer[4096];
      while (!stopping_ && request.find("\r\n\r\n") == std::string::npos) {
        if (!Readable(fd)) continue;
        const auto got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0) break;
        request.append(buffer, static_cast<size_t>(got));
      }
      if (request.find("\r\n\r\n") != std::string::npos) {
        ++connections_;
        Connection connection(*this, fd);
        script_(connection);
      }
      scripted_socket::Close(fd);
    }
  }

  Script script_;
  scripted_socket::Socket listener_ = scripted_socket::kNone;
  int port_ = 0;
  std::thread thread_;
  std::atomic<int> connections_{0};
  std::atomic<bool> stopping_{false};
};

}  // namespace testing_support
