#include "tests/soak/fault_proxy.h"

#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstring>

namespace soak {
namespace {

constexpr size_t kMaxRequestBytes = 256 * 1024;
constexpr int kReadWaitMs = 2000;

// The request head and body, read whole within a bounded time; empty when it did not come.
std::string ReadRequest(int fd, std::string& body) {
  std::string data;
  char buffer[8192];
  size_t headEnd = std::string::npos;
  size_t length = 0;
  while (data.size() < kMaxRequestBytes) {
    if (headEnd != std::string::npos && data.size() >= headEnd + 4 + length) break;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, kReadWaitMs) != 1) return {};
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return {};
    data.append(buffer, static_cast<size_t>(n));
    if (headEnd == std::string::npos && (headEnd = data.find("\r\n\r\n")) != std::string::npos) {
      std::string head = data.substr(0, headEnd);
      for (auto& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      size_t at = head.find("content-length:");
      if (at != std::string::npos) length = std::strtoul(head.c_str() + at + 15, nullptr, 10);
    }
  }
  if (headEnd == std::string::npos) return {};
  body = data.substr(headEnd + 4, length);
  return data.substr(0, headEnd);
}

void SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

// Closes with a reset instead of an orderly end.
void Reset(int fd) {
  linger hard{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  close(fd);
}

std::string Answer(int status, const std::string& type, const std::string& body) {
  return "HTTP/1.1 " + std::to_string(status) + (status == 200 ? " OK" : " Error") + "\r\nContent-Type: " + type +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

}  // namespace

FaultProxy::FaultProxy(uint64_t seed) : rng_(seed) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof addr;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 64) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size) != 0 || pipe2(wakeFds_, O_CLOEXEC) != 0) {
    if (fd >= 0) close(fd);
    return;
  }
  listenFd_ = fd;
  port_ = ntohs(addr.sin_port);
  acceptor_ = std::thread([this] { Accept(); });
}

FaultProxy::~FaultProxy() {
  if (listenFd_ >= 0) {
    (void)!write(wakeFds_[1], "x", 1);
    acceptor_.join();
    close(listenFd_);
  }
  for (auto& c : connections_) c->thread.join();
  for (int fd : wakeFds_)
    if (fd >= 0) close(fd);
}

std::array<uint64_t, 4> FaultProxy::Faults() const {
  std::lock_guard lock(mutex_);
  return faults_;
}

NetFault FaultProxy::Draw(bool& afterForwarding) {
  std::lock_guard lock(mutex_);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  afterForwarding = chance(rng_) < 0.5;
  NetFault fault = NetFault::None;
  if (chance(rng_) < faultRate_) fault = static_cast<NetFault>(1 + std::uniform_int_distribution<int>(0, 2)(rng_));
  ++faults_[static_cast<size_t>(fault)];
  return fault;
}

void FaultProxy::Accept() {
  while (true) {
    pollfd p[2] = {{listenFd_, POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
    if (poll(p, 2, -1) < 0) continue;
    if (p[1].revents) return;
    int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    // Finished connections are joined here, so their number stays small over a long run.
    std::erase_if(connections_, [](const std::unique_ptr<Connection>& c) {
      if (!c->done) return false;
      c->thread.join();
      return true;
    });
    auto connection = std::make_unique<Connection>();
    Connection* raw = connection.get();
    raw->thread = std::thread([this, fd, raw] {
      Serve(fd);
      raw->done = true;
    });
    connections_.push_back(std::move(connection));
  }
}

void FaultProxy::Serve(int fd) {
  std::string body;
  std::string head = ReadRequest(fd, body);
  int upstream = upstream_;
  if (head.empty() || upstream == 0) return Reset(fd);
  ++exchanges_;
  bool after = false;
  NetFault fault = Draw(after);
  if (fault != NetFault::None && fault != NetFault::Slow && !after) {
    if (fault == NetFault::Reset) return Reset(fd);
    SendAll(fd, Answer(500, "text/html", "<html>500</html>"));
    close(fd);
    return;
  }
  httplib::Client service("127.0.0.1", upstream);
  service.set_read_timeout(5, 0);
  auto result = service.Post("/", body, "application/x-www-form-urlencoded");
  if (!result) return Reset(fd);  // the service went away meanwhile
  if (fault == NetFault::Reset) return Reset(fd);
  if (fault == NetFault::Status500) {
    SendAll(fd, Answer(500, "text/html", "<html>500</html>"));
  } else {
    if (fault == NetFault::Slow) std::this_thread::sleep_for(std::chrono::milliseconds(slowMs_.load()));
    SendAll(fd, Answer(result->status, result->get_header_value("Content-Type"), result->body));
  }
  close(fd);
}

}  // namespace soak
