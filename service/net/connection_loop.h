#pragma once
// ConnectionLoop: every client connection waits on one thread that watches them all at once
// (epoll), and the request threads only ever get a request whose bytes have all arrived. An idle or
// slow client then costs a little memory, never a request thread, so thousands of them cannot keep
// a request from being answered. While a request arrives the loop keeps its RequestLimits: a head
// past its bounds is refused with 431 (414 for the request line alone), a head not whole by the
// deadline with 408, and a body not whole by the deadline goes to a request thread, which answers it
// as cut off. A body framed otherwise than by its length (chunked) goes to a request thread with its
// head, which reads the rest within the same deadline.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/unique_fd.h"
#include "service/net/request_head.h"
#include "service/net/request_limits.h"

namespace service {

using ConnectionClock = std::chrono::steady_clock;

// A client connection between the loop and a request thread.
struct ClientConnection {
  platform::UniqueFd socket;
  // Received and not yet read: the next request from its first byte on.
  std::string received;
  // When the next request's deadline started counting.
  ConnectionClock::time_point since;
  // Requests the connection may still carry, the next one included.
  size_t requestsLeft = 0;
};

class ConnectionLoop {
 public:
  struct Settings {
    RequestLimits limits;
    // The longest wait for the next request on a kept-alive connection.
    ConnectionClock::duration keepAlive = std::chrono::seconds(5);
    size_t maxRequests = 1000;
    int threads = 16;
  };
  // Answers the one request at the start of connection.received, on a request thread. True when the
  // connection may carry another, with received holding what followed the request.
  using Serve = std::function<bool(ClientConnection& connection)>;

  ConnectionLoop(const Settings& settings, Serve serve);
  ~ConnectionLoop();
  ConnectionLoop(const ConnectionLoop&) = delete;
  ConnectionLoop& operator=(const ConnectionLoop&) = delete;

  // Serves the connections accepted on listening (bound and listening) on threads of its own until
  // Stop. False when the loop's own descriptors cannot be made.
  bool Start(platform::UniqueFd listening);
  // Stops accepting, drops the connections waiting for a request, finishes the requests whose bytes
  // have arrived and joins every thread. Idempotent.
  void Stop();

 private:
  // Waiting for a request's first byte, receiving a request, or dropping what a refused client
  // still sends before closing (closing with unread input resets the connection, and the reset can
  // overtake the refusal).
  enum class Phase { Waiting, Arriving, Draining };
  struct Entry {
    Entry(std::unique_ptr<ClientConnection> c, const RequestLimits& limits)
        : connection(std::move(c)), scanner(limits.maxHeadBytes, limits.maxHeaderFields) {}
    std::unique_ptr<ClientConnection> connection;
    Phase phase = Phase::Waiting;
    ConnectionClock::time_point until;  // when the phase runs out
    HeadScanner scanner;
    size_t headSize = 0;  // once the head is whole
    size_t dropped = 0;   // bytes dropped while draining
  };

  void Run();
  void Work();
  void Accept(ConnectionClock::time_point now);
  void OnReadable(int fd, ConnectionClock::time_point now);
  // Looks at what arrived of the entry's request and acts once it is whole or broke a bound.
  void Advance(int fd, Entry& entry, ConnectionClock::time_point now);
  void Watch(std::unique_ptr<ClientConnection> connection, ConnectionClock::time_point now);
  void HandOver(int fd);
  void Refuse(Entry& entry, int status, const char* reason, ConnectionClock::time_point now);
  void Close(int fd);
  // A request thread gives back a connection that may carry another request.
  void Return(std::unique_ptr<ClientConnection> connection);
  // Takes the returned connection on fd (every returned one when fd is -1) into the loop's watch.
  void Adopt(ConnectionClock::time_point now, int fd = -1);
  void Sweep(ConnectionClock::time_point now);

  Settings settings_;
  Serve serve_;
  platform::UniqueFd listening_;
  platform::UniqueFd epoll_;
  platform::UniqueFd wake_;  // eventfd: a returned connection holds bytes, or Stop was called
  std::thread loop_;
  std::vector<std::thread> workers_;
  std::unordered_map<int, Entry> entries_;  // by socket, the connections the loop watches
  ConnectionClock::time_point acceptPausedUntil_{};
  bool acceptWatched_ = false;

  std::mutex mutex_;  // guards what follows
  std::condition_variable work_;
  std::deque<std::unique_ptr<ClientConnection>> ready_;  // whole requests for the request threads
  // Connections back from the request threads, by socket, until the loop adopts them.
  std::unordered_map<int, std::unique_ptr<ClientConnection>> returned_;
  bool stopping_ = false;
};

}  // namespace service
