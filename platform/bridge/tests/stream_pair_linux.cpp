#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/bridge/tests/stream_pair.h"
#include "platform/unique_fd.h"
#include "testing/temp_folder.h"

namespace bridge_test {

std::pair<StreamSocket, StreamSocket> StreamPair() {
  int fds[2] = {-1, -1};
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return {};
  return {StreamSocket(fds[0]), StreamSocket(fds[1])};
}

void SetVariable(const char* name, const char* value) {
  if (value) {
    setenv(name, value, 1);
  } else {
    unsetenv(name);
  }
}

// A Unix socket in a private folder of the test's own.
struct TestListener::Impl {
  testing_support::TempFolder folder;
  std::string path = folder.File("vymera-sim.sock");
  platform::UniqueFd fd;
};

TestListener::TestListener() : impl_(std::make_unique<Impl>()) { Listen(); }

TestListener::~TestListener() = default;

const std::string& TestListener::endpoint() const { return impl_->path; }

StreamSocket TestListener::Accept(int timeoutMs) {
  pollfd p{impl_->fd.get(), POLLIN, 0};
  if (poll(&p, 1, timeoutMs) != 1) return {};
  return StreamSocket(accept4(impl_->fd.get(), nullptr, nullptr, SOCK_CLOEXEC));
}

void TestListener::Close() {
  impl_->fd.Close();
  unlink(impl_->path.c_str());
}

bool TestListener::Listen() {
  Close();
  impl_->fd = platform::UniqueFd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, impl_->path.data(), impl_->path.size());
  return impl_->fd && bind(impl_->fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
         listen(impl_->fd.get(), 8) == 0;
}

}  // namespace bridge_test
