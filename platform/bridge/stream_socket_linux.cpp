// The bridge's sockets on Linux: file descriptors, the programs' end a Unix socket in a private folder.
#include "platform/bridge/stream_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/bridge/connection.h"
#include "platform/bridge/socket_folder.h"

namespace platform::bridge {
namespace {

int Fd(StreamSocket::Native native) { return static_cast<int>(native); }

StreamSocket::Result Outcome(ssize_t n) {
  if (n > 0) return {StreamSocket::Io::Done, static_cast<size_t>(n)};
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return {StreamSocket::Io::Again, 0};
  return {StreamSocket::Io::Closed, 0};
}

}  // namespace

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

StreamSocket ConnectStream(const std::string& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof addr.sun_path || !PrivateFolder(FolderOf(path), false)) return {};
  std::memcpy(addr.sun_path, path.data(), path.size());
  StreamSocket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  // A Unix socket connects at once or not at all; a full backlog (EAGAIN) counts as nobody there.
  if (!socket || connect(Fd(socket.native()), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
  return socket;
}

StreamSocket::StreamSocket(Native native) : native_(native < 0 ? kInvalid : native) {
  if (native_ == kInvalid) return;
  int flags = fcntl(Fd(native_), F_GETFL);
  if (flags >= 0) fcntl(Fd(native_), F_SETFL, flags | O_NONBLOCK);
}

void StreamSocket::Close() {
  if (native_ != kInvalid) close(Fd(std::exchange(native_, kInvalid)));
}

StreamSocket::Result StreamSocket::Send(std::span<const uint8_t> bytes) {
  // MSG_NOSIGNAL: a peer that is gone fails the send instead of ending the process.
  return Outcome(send(Fd(native_), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT));
}

StreamSocket::Result StreamSocket::Peek(std::span<uint8_t> into) {
  return Outcome(recv(Fd(native_), into.data(), into.size(), MSG_DONTWAIT | MSG_PEEK));
}

void StreamSocket::Discard(size_t bytes) {
  uint8_t sink[4096];
  while (bytes > 0) {
    ssize_t n = recv(Fd(native_), sink, std::min(bytes, sizeof sink), MSG_DONTWAIT);
    if (n <= 0) return;
    bytes -= static_cast<size_t>(n);
  }
}

bool StreamSocket::Wait(bool forWrite, int timeoutMs) {
  for (;;) {
    pollfd p{Fd(native_), static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    int n = poll(&p, 1, timeoutMs);
    if (n > 0) return true;
    if (n == 0) return false;
    if (errno != EINTR) return true;  // the next call on the socket reports the fault
  }
}

bool StreamSocket::Readable() const {
  pollfd p{Fd(native_), POLLIN | POLLRDHUP, 0};
  if (poll(&p, 1, 0) <= 0) return false;
  return (p.revents & (POLLIN | POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

// The system's shutdown wakes every poll on the socket by itself.
void StreamSocket::Shutdown() { shutdown(Fd(native_), SHUT_RDWR); }

void StreamSocket::ShutdownReceive() { shutdown(Fd(native_), SHUT_RD); }

}  // namespace platform::bridge
