#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>

#include "platform/bridge/tests/stream_pair.h"

namespace bridge_test {
namespace {

bool Started() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

// Owns one Winsock socket.
class Socket {
 public:
  Socket() = default;
  explicit Socket(SOCKET s) : s_(s) {}
  ~Socket() { Close(); }
  Socket(Socket&& other) noexcept : s_(std::exchange(other.s_, INVALID_SOCKET)) {}
  Socket& operator=(Socket&& other) noexcept {
    Close();
    s_ = std::exchange(other.s_, INVALID_SOCKET);
    return *this;
  }
  SOCKET get() const { return s_; }
  SOCKET Release() { return std::exchange(s_, INVALID_SOCKET); }
  void Close() {
    if (s_ != INVALID_SOCKET) closesocket(std::exchange(s_, INVALID_SOCKET));
  }

 private:
  SOCKET s_ = INVALID_SOCKET;
};

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

// Listens on 127.0.0.1 at port (0: one the system picks); the port it listens on, or 0.
uint16_t ListenOn(Socket& listener, uint16_t port) {
  if (!Started()) return 0;
  listener = Socket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  BOOL reuse = TRUE;
  setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
  sockaddr_in addr = Loopback(port);
  int length = sizeof addr;
  if (bind(listener.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listener.get(), 8) != 0 ||
      getsockname(listener.get(), reinterpret_cast<sockaddr*>(&addr), &length) != 0)
    return 0;
  return ntohs(addr.sin_port);
}

StreamSocket AcceptFrom(const Socket& listener, int timeoutMs) {
  WSAPOLLFD p{};
  p.fd = listener.get();
  p.events = POLLRDNORM;
  if (WSAPoll(&p, 1, timeoutMs) != 1) return {};
  SOCKET s = accept(listener.get(), nullptr, nullptr);
  if (s == INVALID_SOCKET) return {};
  return StreamSocket(static_cast<StreamSocket::Native>(s));
}

}  // namespace

std::pair<StreamSocket, StreamSocket> StreamPair() {
  Socket listener;
  uint16_t port = ListenOn(listener, 0);
  if (!port) return {};
  Socket client(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in addr = Loopback(port);
  if (connect(client.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
  StreamSocket served = AcceptFrom(listener, 5000);
  if (!served) return {};
  return {StreamSocket(static_cast<StreamSocket::Native>(client.Release())), std::move(served)};
}

void SetVariable(const char* name, const char* value) { _putenv_s(name, value ? value : ""); }

struct TestListener::Impl {
  Socket listener;
  uint16_t port = 0;
  std::string endpoint;
};

TestListener::TestListener() : impl_(std::make_unique<Impl>()) {
  impl_->port = ListenOn(impl_->listener, 0);
  impl_->endpoint = "127.0.0.1:" + std::to_string(impl_->port);
}

TestListener::~TestListener() = default;

const std::string& TestListener::endpoint() const { return impl_->endpoint; }

StreamSocket TestListener::Accept(int timeoutMs) { return AcceptFrom(impl_->listener, timeoutMs); }

void TestListener::Close() { impl_->listener.Close(); }

bool TestListener::Listen() {
  impl_->listener.Close();
  return impl_->port != 0 && ListenOn(impl_->listener, impl_->port) == impl_->port;
}

}  // namespace bridge_test
