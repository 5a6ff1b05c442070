#include "service/net/request_stream.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>


namespace service {
namespace {

constexpr size_t kReceiveChunk = 16 * 1024;

// The numeric address and port of a socket name; empty and -1 when it has none.
void NameToText(const sockaddr_storage& name, socklen_t length, std::string& ip, int& port) {
  char host[NI_MAXHOST];
  char service[NI_MAXSERV];
  if (getnameinfo(reinterpret_cast<const sockaddr*>(&name), length, host, sizeof host, service, sizeof service,
                  NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    ip.clear();
    port = -1;
    return;
  }
  ip = host;
  port = std::atoi(service);
}

}  // namespace

RequestStream::RequestStream(int socket, const RequestLimits& limits, Clock::duration readTimeout,
                             Clock::duration writeTimeout)
    : socket_(socket), limits_(limits), readTimeout_(readTimeout), writeTimeout_(writeTimeout) {}

bool RequestStream::Wait(short events, Clock::time_point until) const {
  for (;;) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    pollfd watched{socket_, events, 0};
    int ready = poll(&watched, 1, static_cast<int>(std::clamp<long long>(left, 0, 60 * 1000)));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
    if (ready == 0 && Clock::now() >= until) return false;
  }
}

bool RequestStream::Fill() {
  Clock::time_point until = std::min(Clock::now() + readTimeout_, deadline_);
  char chunk[kReceiveChunk];
  for (;;) {
    if (!Wait(POLLIN, until)) {
      timedOut_ = true;
      return false;
    }
    ssize_t got = recv(socket_, chunk, sizeof chunk, 0);
    // The socket does not block: a wake-up without bytes waits again.
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) return false;
    buffer_.append(chunk, static_cast<size_t>(got));
    return true;
  }
}

void RequestStream::Adopt(std::string received, Clock::time_point since) {
  buffer_ = std::move(received);
  readAt_ = 0;
  delivered_ = 0;
  timedOut_ = overBudget_ = false;
  deadline_ = since + limits_.deadline;
}

std::string RequestStream::TakeUnread() {
  buffer_.erase(0, readAt_);
  readAt_ = 0;
  return std::move(buffer_);
}

bool RequestStream::is_readable() const {
  return Pending() > 0 || Wait(POLLIN, std::min(Clock::now() + readTimeout_, deadline_));
}

bool RequestStream::is_writable() const { return Wait(POLLOUT, Clock::now() + writeTimeout_); }

ssize_t RequestStream::read(char* ptr, size_t size) {
  if (delivered_ >= limits_.maxRequestBytes) {
    overBudget_ = true;
    return -1;
  }
  if (Pending() == 0) {
    buffer_.clear();
    readAt_ = 0;
    if (!Fill()) return timedOut_ ? -1 : 0;
  }
  size_t n = std::min({size, Pending(), limits_.maxRequestBytes - delivered_});
  std::memcpy(ptr, buffer_.data() + readAt_, n);
  readAt_ += n;
  delivered_ += n;
  return static_cast<ssize_t>(n);
}

ssize_t RequestStream::write(const char* ptr, size_t size) {
  // The socket does not block, so a send that finds room costs no wait; a full send buffer waits
  // for room up to the write time-out.
  Clock::time_point until = Clock::now() + writeTimeout_;
  for (;;) {
    ssize_t sent = send(socket_, ptr, size, MSG_NOSIGNAL);
    if (sent >= 0 || (errno != EINTR && errno != EAGAIN)) return sent;
    if (errno == EAGAIN && !Wait(POLLOUT, until)) return -1;
  }
}

void RequestStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage name{};
  socklen_t length = sizeof name;
  if (getpeername(socket_, reinterpret_cast<sockaddr*>(&name), &length) != 0) length = 0;
  NameToText(name, length, ip, port);
}

void RequestStream::get_local_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage name{};
  socklen_t length = sizeof name;
  if (getsockname(socket_, reinterpret_cast<sockaddr*>(&name), &length) != 0) length = 0;
  NameToText(name, length, ip, port);
}

}  // namespace service
