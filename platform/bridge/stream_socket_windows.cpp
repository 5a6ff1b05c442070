// The bridge's sockets on Windows: Winsock streams to the simulator's loopback TCP port. Wine 8 has
// no AF_UNIX in its Winsock, so a Windows program under Wine reaches a Linux simulator this way.
#include "platform/bridge/stream_socket.h"

// winsock2.h before everything that could pull in windows.h.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/bridge/connection.h"

namespace platform::bridge {
namespace {

// A refused loopback connection is answered at once on Linux and Wine, but Windows itself tries
// again for about a second first; a simulator that answers none within this bound is not there.
constexpr int kConnectMs = 300;
// Shutdown from another thread is not sure to end a WSAPoll in progress: waits look at the socket's
// flags between slices this long.
constexpr int kWaitSliceMs = 50;

SOCKET Sock(StreamSocket::Native native) { return static_cast<SOCKET>(native); }

bool WinsockStarted() {
  // Started once for the process and left to end with it.
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

StreamSocket::Result Outcome(int n) {
  if (n > 0) return {StreamSocket::Io::Done, static_cast<size_t>(n)};
  if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) return {StreamSocket::Io::Again, 0};
  return {StreamSocket::Io::Closed, 0};
}

int ChunkOf(size_t bytes) { return static_cast<int>(std::min<size_t>(bytes, 1 << 30)); }

// One WSAPoll on the socket for up to ms: the events it saw, 0 when none came, POLLERR when the
// poll itself failed.
short PollOnce(SOCKET socket, short events, int ms) {
  WSAPOLLFD p{};
  p.fd = socket;
  p.events = events;
  int n = WSAPoll(&p, 1, ms);
  if (n < 0) return POLLERR;
  return n > 0 ? p.revents : 0;
}

}  // namespace

std::string DefaultSocketPath() { return "127.0.0.1:" + std::to_string(SimulatorTcpPort()); }

StreamSocket ConnectStream(const std::string& endpoint) {
  std::optional<uint16_t> port = LoopbackPortOf(endpoint);
  if (!port || !WinsockStarted()) return {};
  SOCKET raw = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
  if (raw == INVALID_SOCKET) return {};
  StreamSocket socket(static_cast<StreamSocket::Native>(raw));
  // Requests and replies are small and answered one by one: none waits for Nagle's algorithm.
  BOOL noDelay = TRUE;
  setsockopt(raw, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(*port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(raw, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) return socket;
  if (WSAGetLastError() != WSAEWOULDBLOCK) return {};
  if (!(PollOnce(raw, POLLWRNORM, kConnectMs) & POLLWRNORM)) return {};
  int error = 0;
  int length = sizeof error;
  if (getsockopt(raw, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 || error != 0) return {};
  return socket;
}

StreamSocket::StreamSocket(Native native) : native_(native) {
  if (native_ == kInvalid) return;
  u_long nonBlocking = 1;
  ioctlsocket(Sock(native_), FIONBIO, &nonBlocking);
}

void StreamSocket::Close() {
  if (native_ != kInvalid) closesocket(Sock(std::exchange(native_, kInvalid)));
}

StreamSocket::Result StreamSocket::Send(std::span<const uint8_t> bytes) {
  if (shut_ & kShutSend) return {Io::Closed, 0};
  return Outcome(send(Sock(native_), reinterpret_cast<const char*>(bytes.data()), ChunkOf(bytes.size()), 0));
}

StreamSocket::Result StreamSocket::Peek(std::span<uint8_t> into) {
  if (shut_ & kShutReceive) return {Io::Closed, 0};
  return Outcome(recv(Sock(native_), reinterpret_cast<char*>(into.data()), ChunkOf(into.size()), MSG_PEEK));
}

void StreamSocket::Discard(size_t bytes) {
  char sink[4096];
  while (bytes > 0) {
    int n = recv(Sock(native_), sink, ChunkOf(std::min(bytes, sizeof sink)), 0);
    if (n <= 0) return;
    bytes -= static_cast<size_t>(n);
  }
}

bool StreamSocket::Wait(bool forWrite, int timeoutMs) {
  const uint8_t ends = forWrite ? kShutSend : kShutReceive;
  auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    if (shut_ & ends) return true;
    int slice = kWaitSliceMs;
    if (timeoutMs >= 0) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      slice = static_cast<int>(std::min<long long>(left, kWaitSliceMs));
    }
    // Errors and hang-ups come back whatever was asked; the next call on the socket reports them.
    if (PollOnce(Sock(native_), forWrite ? POLLWRNORM : POLLRDNORM, slice)) return true;
  }
}

bool StreamSocket::Readable() const {
  return PollOnce(Sock(native_), POLLRDNORM, 0) & (POLLRDNORM | POLLHUP | POLLERR);
}

void StreamSocket::Shutdown() {
  shut_ |= kShutReceive | kShutSend;
  shutdown(Sock(native_), SD_BOTH);
}

void StreamSocket::ShutdownReceive() {
  shut_ |= kShutReceive;
  shutdown(Sock(native_), SD_RECEIVE);
}

}  // namespace platform::bridge
