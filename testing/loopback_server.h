#pragma once
// A real HTTP server on 127.0.0.1 and an ephemeral port for one test, recording every request it
// gets. Handlers that must stall wait on Release(), which the destructor also calls, so a stalled
// handler never holds up the end of a test.

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "testing/bounded_wait.h"

namespace testing_support {

struct SeenRequest {
  std::string method;
  std::string target;  // path and query as sent (absolute URL when sent to a proxy)
  httplib::Headers headers;
  std::string body;

  std::string Header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? std::string() : it->second;
  }
  bool HasHeader(const std::string& name) const { return headers.find(name) != headers.end(); }
};

template <typename ServerType = httplib::Server>
class BasicLoopbackServer {
 public:
  template <typename... Args>
  explicit BasicLoopbackServer(Args&&... args) : server_(std::forward<Args>(args)...) {
    // Recorded before the answer is written, so a test that has its answer sees the request too.
    server_.set_post_routing_handler([this](const httplib::Request& request, httplib::Response&) {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back({request.method, request.target, request.headers, request.body});
    });
  }
  ~BasicLoopbackServer() { Stop(); }
  BasicLoopbackServer(const BasicLoopbackServer&) = delete;
  BasicLoopbackServer& operator=(const BasicLoopbackServer&) = delete;

  ServerType& server() { return server_; }

  // Binds and serves on a thread; returns the port, or 0 when binding failed or the server did not
  // come up within the wait bound.
  int Start() {
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) return 0;
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    return WaitUntil([this] { return server_.is_running(); }) ? port_ : 0;
  }

  void Stop() {
    Release();
    if (thread_.joinable()) {
      server_.stop();
      thread_.join();
    }
  }

  std::string Url(const std::string& path) const {
    return std::string(Scheme()) + "://127.0.0.1:" + std::to_string(port_) + path;
  }
  int port() const { return port_; }

  // Blocks a handler until Release (or the timeout) — a peer that stalls.
  void Stall(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait_for(lock, timeout, [this] { return releasedFlag_; });
  }
  void Release() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      releasedFlag_ = true;
    }
    released_.notify_all();
  }

  std::vector<SeenRequest> Seen() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
  }
  size_t SeenCount() const { return Seen().size(); }

 private:
  static constexpr const char* Scheme() {
    if constexpr (std::is_same_v<ServerType, httplib::Server>) return "http";
    return "https";
  }

  ServerType server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable released_;
  bool releasedFlag_ = false;
  std::vector<SeenRequest> seen_;
};

using LoopbackServer = BasicLoopbackServer<httplib::Server>;

}  // namespace testing_support
