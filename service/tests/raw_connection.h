#pragma once
// Plain TCP connections to a loopback service, for the requests an HTTP client library would never
// send: endless heads, heads and bodies dripped out over seconds.

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace service_test {

using Clock = std::chrono::steady_clock;

class RawConnection {
 public:
  explicit RawConnection(int port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~RawConnection() {
    if (fd_ >= 0) close(fd_);
  }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool connected() const { return fd_ >= 0; }

  // False once the service closed or reset the connection.
  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent <= 0) return false;
      bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
  }

  // Whether the service sent something or closed within timeout.
  bool Readable(std::chrono::milliseconds timeout) {
    pollfd watched{fd_, POLLIN, 0};
    return poll(&watched, 1, static_cast<int>(timeout.count())) > 0;
  }

  // What the service sends until it closes the connection, or until timeout has passed.
  std::string ReceiveUntilClosed(std::chrono::milliseconds timeout) {
    std::string received;
    auto until = Clock::now() + timeout;
    char chunk[4096];
    while (Clock::now() < until &&
           Readable(std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()))) {
      ssize_t got = recv(fd_, chunk, sizeof chunk, 0);
      if (got <= 0) break;
      received.append(chunk, static_cast<size_t>(got));
    }
    return received;
  }

  int fd() const { return fd_; }

 private:
  int fd_;
};

// The status code of an answer's status line; 0 when there is none.
inline int StatusOf(std::string_view answer) {
  if (answer.size() < 12 || answer.substr(0, 9) != "HTTP/1.1 ") return 0;
  return std::atoi(std::string(answer.substr(9, 3)).c_str());
}

struct Flood {
  std::string answer;
  size_t sent = 0;  // bytes the connection took before the service stopped reading
};

// Sends start and then line over and over, up to limit bytes, while reading whatever the service
// answers; ends when the service has answered and closed, or after 20 s.
inline Flood SendFlood(int port, std::string_view start, std::string_view line, size_t limit) {
  Flood flood;
  RawConnection connection(port);
  if (!connection.connected() || !connection.Send(start)) return flood;
  std::string pending;
  while (pending.size() < 64 * 1024) pending += line;
  bool sending = true;
  auto until = Clock::now() + std::chrono::seconds(20);
  while (Clock::now() < until) {
    pollfd watched{connection.fd(), static_cast<short>(POLLIN | (sending ? POLLOUT : 0)), 0};
    if (poll(&watched, 1, 1000) <= 0) continue;
    if (watched.revents & (POLLIN | POLLHUP | POLLERR)) {
      char chunk[4096];
      ssize_t got = recv(connection.fd(), chunk, sizeof chunk, MSG_DONTWAIT);
      if (got == 0 || (got < 0 && errno != EAGAIN)) break;
      if (got > 0) flood.answer.append(chunk, static_cast<size_t>(got));
    }
    if (sending && (watched.revents & POLLOUT)) {
      size_t size = std::min(pending.size(), limit - flood.sent);
      ssize_t sent = send(connection.fd(), pending.data(), size, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (sent > 0) flood.sent += static_cast<size_t>(sent);
      if ((sent < 0 && errno != EAGAIN) || flood.sent >= limit) sending = false;
    }
  }
  return flood;
}

struct Drip {
  std::string answer;
  double answeredAfter = -1;  // seconds from the first piece until the service answered or closed
  bool allSent = false;       // every piece went out before the service answered
};

// Sends pieces one every interval, watching for the service's answer meanwhile.
inline Drip SendDrip(int port, const std::vector<std::string>& pieces, std::chrono::milliseconds interval) {
  Drip drip;
  RawConnection connection(port);
  if (!connection.connected()) return drip;
  auto start = Clock::now();
  size_t next = 0;
  while (next < pieces.size() && connection.Send(pieces[next])) {
    ++next;
    if (next < pieces.size() && connection.Readable(interval)) break;
  }
  drip.allSent = next == pieces.size();
  if (connection.Readable(std::chrono::seconds(10))) {
    drip.answeredAfter = std::chrono::duration<double>(Clock::now() - start).count();
    drip.answer = connection.ReceiveUntilClosed(std::chrono::seconds(5));
  }
  return drip;
}

}  // namespace service_test
