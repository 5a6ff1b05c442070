#include "platform/bridge/connection.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform::bridge {
namespace {

constexpr size_t kReceiveChunk = 64 * 1024;

int MillisecondsUntil(Deadline deadline) {
  if (!deadline) return -1;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<int64_t>(left, 0, 1 << 30));
}

Deadline Earlier(Deadline a, Deadline b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

}  // namespace

Deadline After(int ms) {
  if (ms < 0) return std::nullopt;
  return Clock::now() + std::chrono::milliseconds(ms);
}

std::string DefaultSocketPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return std::string(runtime) + "/vymera-sim.sock";
  return "/tmp/vymera-" + std::to_string(getuid()) + "/vymera-sim.sock";
}

std::string FolderOf(const std::string& socketPath) {
  size_t slash = socketPath.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return socketPath.substr(0, slash);
}

bool PrivateFolder(const std::string& folder, bool create) {
  if (create) mkdir(folder.c_str(), 0700);
  struct stat st {};
  return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 022) == 0;
}

std::unique_ptr<Connection> Connection::Connect(const std::string& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof addr.sun_path || !PrivateFolder(FolderOf(path), false)) return nullptr;
  std::memcpy(addr.sun_path, path.data(), path.size());
  UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd) return nullptr;
  // A Unix socket connects at once or not at all; a full backlog (EAGAIN) counts as nobody there.
  if (connect(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return nullptr;
  return std::make_unique<Connection>(std::move(fd));
}

Connection::Connection(UniqueFd fd) : fd_(std::move(fd)) {
  int flags = fcntl(fd_.get(), F_GETFL);
  if (flags >= 0) fcntl(fd_.get(), F_SETFL, flags | O_NONBLOCK);
}

bool Connection::Wait(short events, Deadline deadline) {
  for (;;) {
    pollfd p{fd_.get(), events, 0};
    int n = poll(&p, 1, MillisecondsUntil(deadline));
    if (n > 0) return true;
    if (n == 0) return false;
    if (errno != EINTR) return true;  // the next call on the socket reports the fault
  }
}

IoStatus Connection::Send(const Frame& frame, Deadline deadline) {
  if (sendBroken_) return IoStatus::Closed;
  std::vector<uint8_t> bytes = EncodeFrame(frame);
  if (bytes.empty()) return IoStatus::Refused;
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd_.get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      sent += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!Wait(POLLOUT, deadline)) {
        // Half a frame may be on its way; the stream cannot carry another.
        sendBroken_ = sent > 0;
        return IoStatus::TimedOut;
      }
      continue;
    }
    sendBroken_ = true;
    return IoStatus::Closed;
  }
  return IoStatus::Ok;
}

IoStatus Connection::Receive(Frame& frame, Deadline deadline) {
  if (receiveBroken_) return IoStatus::Closed;
  uint8_t buffer[kReceiveChunk];
  Deadline frameDeadline;
  for (;;) {
    if (decoder_.state() == FrameDecoder::State::Ready) {
      frame = decoder_.Take();
      return IoStatus::Ok;
    }
    if (decoder_.state() == FrameDecoder::State::Refused) {
      receiveBroken_ = true;
      return IoStatus::Refused;
    }
    if (decoder_.Partial() && !frameDeadline) frameDeadline = After(kFrameGapMs);
    // Never read past the frame being decoded: what follows it belongs to the next call.
    ssize_t n = recv(fd_.get(), buffer, sizeof buffer, MSG_DONTWAIT | MSG_PEEK);
    if (n > 0) {
      size_t used = decoder_.Feed(std::span<const uint8_t>(buffer, static_cast<size_t>(n)));
      recv(fd_.get(), buffer, used, MSG_DONTWAIT);
      continue;
    }
    if (n == 0) {
      receiveBroken_ = true;
      return IoStatus::Closed;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      receiveBroken_ = true;
      return IoStatus::Closed;
    }
    if (!Wait(POLLIN, Earlier(deadline, frameDeadline))) {
      if (decoder_.Partial()) {
        receiveBroken_ = true;
        return frameDeadline && Clock::now() >= *frameDeadline ? IoStatus::Refused : IoStatus::TimedOut;
      }
      return IoStatus::TimedOut;
    }
  }
}

IoStatus Connection::Exchange(const Frame& request, Frame& reply, Deadline deadline) {
  IoStatus sent = Send(request, deadline);
  if (sent != IoStatus::Ok) {
    receiveBroken_ = sendBroken_ = true;
    return sent;
  }
  IoStatus got = Receive(reply, deadline);
  // A reply that did not come in time may still come, and would answer the next request.
  if (got != IoStatus::Ok) receiveBroken_ = sendBroken_ = true;
  return got;
}

bool Connection::PeerGone() const {
  pollfd p{fd_.get(), POLLIN | POLLRDHUP, 0};
  if (poll(&p, 1, 0) <= 0) return false;
  return (p.revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void Connection::Shutdown() { shutdown(fd_.get(), SHUT_RDWR); }

void Connection::StopReceiving() { shutdown(fd_.get(), SHUT_RD); }

}  // namespace platform::bridge
