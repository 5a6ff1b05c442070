#pragma once
// BoundedServer: the HTTP library's routing and answers on requests that ConnectionLoop gathered, so
// that every request keeps RequestLimits: its head was received whole and checked before the library
// parses it, and its body may take only what is left of its deadline and byte budget. A connection
// whose request broke a bound is not kept, nor one whose answer says "Connection: close". It keeps
// the post-routing handler for itself.

#include <httplib.h>

#include "service/net/connection_loop.h"
#include "service/net/request_limits.h"

namespace service {

class BoundedServer : public httplib::Server {
 public:
  explicit BoundedServer(const RequestLimits& limits);

  const RequestLimits& limits() const { return limits_; }
  // The library's keep-alive settings, for the loop that holds the connections between requests.
  ConnectionClock::duration keepAlive() const { return std::chrono::seconds(keep_alive_timeout_sec_); }
  size_t maxRequestsPerConnection() const { return keep_alive_max_count_; }

  // Tells the library whether the service runs: a file answer stops streaming once it does not.
  void SetServing(int listeningSocket) { svr_sock_ = listeningSocket; }
  void SetStopping() { svr_sock_ = INVALID_SOCKET; }

  // Answers the request at the start of connection.received, on a request thread; true when the
  // connection may carry another (ConnectionLoop::Serve).
  bool ServeOne(ClientConnection& connection);

 private:
  RequestLimits limits_;
};

}  // namespace service
