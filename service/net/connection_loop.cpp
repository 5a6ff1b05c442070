#include "service/net/connection_loop.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace service {
namespace {

using Clock = ConnectionClock;

constexpr size_t kReceiveChunk = 16 * 1024;
// How often the loop looks for connections whose phase ran out; their deadlines keep to it.
constexpr auto kSweepEvery = std::chrono::milliseconds(50);
// What a refused client may still send before its connection closes, at most.
constexpr size_t kLingerBytes = 256 * 1024;
constexpr auto kLingerTime = std::chrono::milliseconds(500);
// A pause in accepting when the process is out of descriptors, so the loop does not spin on it.
constexpr auto kAcceptPause = std::chrono::milliseconds(100);

bool WatchFd(int epoll, int fd) {
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = fd;
  return epoll_ctl(epoll, EPOLL_CTL_ADD, fd, &event) == 0;
}

void Unwatch(int epoll, int fd) { epoll_ctl(epoll, EPOLL_CTL_DEL, fd, nullptr); }

}  // namespace

ConnectionLoop::ConnectionLoop(const Settings& settings, Serve serve) : settings_(settings), serve_(std::move(serve)) {}

ConnectionLoop::~ConnectionLoop() { Stop(); }

bool ConnectionLoop::Start(platform::UniqueFd listening) {
  epoll_ = platform::UniqueFd(epoll_create1(EPOLL_CLOEXEC));
  wake_ = platform::UniqueFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
  listening_ = std::move(listening);
  if (!epoll_ || !wake_ || !WatchFd(epoll_.get(), wake_.get()) || !WatchFd(epoll_.get(), listening_.get()))
    return false;
  acceptWatched_ = true;
  for (int i = 0; i < std::max(1, settings_.threads); ++i) workers_.emplace_back([this] { Work(); });
  loop_ = std::thread([this] { Run(); });
  return true;
}

void ConnectionLoop::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  work_.notify_all();
  if (wake_) {
    uint64_t one = 1;
    [[maybe_unused]] auto written = write(wake_.get(), &one, sizeof one);
  }
  if (loop_.joinable()) loop_.join();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
  entries_.clear();
  returned_.clear();
}

void ConnectionLoop::Run() {
  epoll_event events[256];
  Clock::time_point lastSweep = Clock::now();
  for (;;) {
    int count = epoll_wait(epoll_.get(), events, 256, static_cast<int>(kSweepEvery.count()));
    Clock::time_point now = Clock::now();
    {
      std::lock_guard lock(mutex_);
      if (stopping_) break;
    }
    for (int i = 0; i < count; ++i) {
      int fd = events[i].data.fd;
      if (fd == listening_.get()) {
        Accept(now);
      } else if (fd == wake_.get()) {
        uint64_t wakes;
        [[maybe_unused]] auto got = read(wake_.get(), &wakes, sizeof wakes);
        Adopt(now);
      } else {
        OnReadable(fd, now);
      }
    }
    if (now - lastSweep >= kSweepEvery) {
      Sweep(now);
      lastSweep = now;
    }
  }
  // The connections that wait for a request, or for their bytes, close with the loop.
  entries_.clear();
}

void ConnectionLoop::Work() {
  for (;;) {
    std::unique_ptr<ClientConnection> connection;
    {
      std::unique_lock lock(mutex_);
      work_.wait(lock, [this] { return stopping_ || !ready_.empty(); });
      if (ready_.empty()) return;
      connection = std::move(ready_.front());
      ready_.pop_front();
    }
    bool keep = serve_(*connection);
    if (!keep || --connection->requestsLeft == 0) {
      shutdown(connection->socket.get(), SHUT_RDWR);
      continue;
    }
    Return(std::move(connection));
  }
}

void ConnectionLoop::Return(std::unique_ptr<ClientConnection> connection) {
  int fd = connection->socket.get();
  // Bytes of the next request came with the last one: the loop takes them up now.
  bool pending = !connection->received.empty();
  connection->since = Clock::now();
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    // Otherwise the request thread watches the connection again itself, and the loop adopts it with
    // its first event or its next sweep: waking the loop to do it would cost a switch per request.
    // Under the lock, so that the loop cannot adopt it between the two steps.
    bool watched = !pending && WatchFd(epoll_.get(), fd);
    returned_.emplace(fd, std::move(connection));
    if (watched) return;
  }
  uint64_t one = 1;
  [[maybe_unused]] auto written = write(wake_.get(), &one, sizeof one);
}

void ConnectionLoop::Adopt(Clock::time_point now, int fd) {
  std::vector<std::unique_ptr<ClientConnection>> adopted;
  {
    std::lock_guard lock(mutex_);
    if (fd >= 0) {
      auto at = returned_.find(fd);
      if (at == returned_.end()) return;
      adopted.push_back(std::move(at->second));
      returned_.erase(at);
    } else {
      for (auto& [_, connection] : returned_) adopted.push_back(std::move(connection));
      returned_.clear();
    }
  }
  for (auto& connection : adopted) Watch(std::move(connection), now);
}

void ConnectionLoop::Accept(Clock::time_point now) {
  for (;;) {
    int fd = accept4(listening_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        // Out of descriptors: the waiting clients stay in the backlog until some close.
        Unwatch(epoll_.get(), listening_.get());
        acceptWatched_ = false;
        acceptPausedUntil_ = now + kAcceptPause;
      }
      return;
    }
    // Answers go out as header and body writes; without this the second waits for the client's
    // delayed acknowledgement, some 40 ms per request on a kept-alive connection.
    int yes = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    auto connection = std::make_unique<ClientConnection>();
    connection->socket = platform::UniqueFd(fd);
    // A new connection's wait for its first byte counts toward its first request's deadline: a
    // client that connects and sends nothing is dropped then.
    connection->since = now;
    connection->requestsLeft = settings_.maxRequests;
    Watch(std::move(connection), now);
  }
}

void ConnectionLoop::Watch(std::unique_ptr<ClientConnection> connection, Clock::time_point now) {
  int fd = connection->socket.get();
  bool first = connection->requestsLeft == settings_.maxRequests;
  bool pending = !connection->received.empty();
  auto [at, added] = entries_.try_emplace(fd, std::move(connection), settings_.limits);
  // A connection a request thread returned may be watched already (EEXIST).
  if (!added || (!WatchFd(epoll_.get(), fd) && errno != EEXIST)) {
    if (added) entries_.erase(at);
    return;
  }
  Entry& entry = at->second;
  if (pending) {
    // Bytes of the next request came with the last one: its deadline counts from now.
    entry.connection->since = now;
    entry.phase = Phase::Arriving;
    entry.until = now + settings_.limits.deadline;
    Advance(fd, entry, now);
    return;
  }
  // A returned connection's keep-alive counts from its answer, not from its adoption.
  entry.until =
      entry.connection->since +
      (first ? std::min<Clock::duration>(settings_.keepAlive, settings_.limits.deadline) : settings_.keepAlive);
}

void ConnectionLoop::OnReadable(int fd, Clock::time_point now) {
  auto at = entries_.find(fd);
  if (at == entries_.end()) {
    Adopt(now, fd);
    at = entries_.find(fd);
    if (at == entries_.end()) return;
  }
  Entry& entry = at->second;
  char chunk[kReceiveChunk];
  ssize_t got = recv(fd, chunk, sizeof chunk, 0);
  if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (got <= 0) {
    Close(fd);
    return;
  }
  if (entry.phase == Phase::Draining) {
    entry.dropped += static_cast<size_t>(got);
    if (entry.dropped >= kLingerBytes) Close(fd);
    return;
  }
  if (entry.phase == Phase::Waiting) {
    entry.phase = Phase::Arriving;
    if (entry.connection->requestsLeft != settings_.maxRequests) entry.connection->since = now;
    entry.until = entry.connection->since + settings_.limits.deadline;
  }
  entry.connection->received.append(chunk, static_cast<size_t>(got));
  Advance(fd, entry, now);
}

void ConnectionLoop::Advance(int fd, Entry& entry, Clock::time_point now) {
  const std::string& received = entry.connection->received;
  if (entry.headSize == 0) {
    switch (entry.scanner.Scan(received)) {
      case HeadState::Incomplete:
        return;
      case HeadState::RequestLineTooLong:
        Refuse(entry, 414, "URI Too Long", now);
        return;
      case HeadState::TooLarge:
      case HeadState::TooManyFields:
        Refuse(entry, 431, "Request Header Fields Too Large", now);
        return;
      case HeadState::Complete:
        entry.headSize = entry.scanner.size();
        break;
    }
  }
  auto body = AnnouncedBodyLength(std::string_view(received).substr(0, entry.headSize));
  // A body of unknown length, or one past the byte budget, is the request thread's to judge.
  if (!body || *body > settings_.limits.maxRequestBytes - std::min(entry.headSize, settings_.limits.maxRequestBytes) ||
      received.size() >= entry.headSize + *body)
    HandOver(fd);
}

void ConnectionLoop::HandOver(int fd) {
  auto at = entries_.find(fd);
  Unwatch(epoll_.get(), fd);
  std::unique_ptr<ClientConnection> connection = std::move(at->second.connection);
  entries_.erase(at);
  {
    std::lock_guard lock(mutex_);
    ready_.push_back(std::move(connection));
  }
  work_.notify_one();
}

void ConnectionLoop::Refuse(Entry& entry, int status, const char* reason, Clock::time_point now) {
  std::string text = std::string(reason) + "\n";
  std::string answer = "HTTP/1.1 " + std::to_string(status) + " " + reason +
                       "\r\nConnection: close\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                       std::to_string(text.size()) + "\r\n\r\n" + text;
  int fd = entry.connection->socket.get();
  // A short answer to a socket whose send buffer is empty: it fits at once.
  [[maybe_unused]] auto sent = send(fd, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  shutdown(fd, SHUT_WR);
  entry.connection->received.clear();
  entry.phase = Phase::Draining;
  entry.until = now + kLingerTime;
}

void ConnectionLoop::Close(int fd) {
  Unwatch(epoll_.get(), fd);
  shutdown(fd, SHUT_RDWR);
  entries_.erase(fd);
}

void ConnectionLoop::Sweep(Clock::time_point now) {
  // Returned connections that stayed silent get their keep-alive deadline kept here.
  Adopt(now);
  if (!acceptWatched_ && now >= acceptPausedUntil_) acceptWatched_ = WatchFd(epoll_.get(), listening_.get());
  std::vector<int> expired;
  for (const auto& [fd, entry] : entries_)
    if (entry.until <= now) expired.push_back(fd);
  for (int fd : expired) {
    Entry& entry = entries_.at(fd);
    if (entry.phase == Phase::Arriving && entry.headSize > 0) {
      HandOver(fd);  // the request thread answers the body as cut off
    } else if (entry.phase == Phase::Arriving) {
      Refuse(entry, 408, "Request Timeout", now);
    } else {
      Close(fd);  // silent since its last answer, or drained long enough
    }
  }
}

}  // namespace service
