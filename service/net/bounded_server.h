#pragma once
// BoundedServer: the HTTP library's server with a connection loop of our own, so that every request
// keeps RequestLimits: its head is received whole and checked before the library parses it, a head
// past its bounds is refused with 431 (414 for the request line alone), a request that does not
// arrive whole by its deadline with 408, and a connection whose request broke a bound is closed, as
// is one whose answer says "Connection: close". It keeps the post-routing handler for itself.

#include <httplib.h>

#include "service/net/request_limits.h"

namespace service {

class BoundedServer : public httplib::Server {
 public:
  explicit BoundedServer(const RequestLimits& limits);

 private:
  // Runs on a request thread for each accepted connection, in place of the library's own loop.
  bool process_and_close_socket(socket_t sock) override;

  RequestLimits limits_;
};

}  // namespace service
