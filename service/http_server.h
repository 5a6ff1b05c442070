#pragma once
// HttpServer: the service on the network. It listens on one address, answers the API at POST "/"
// and every other path with the member site. One thread holds the connections between requests
// (ConnectionLoop); a pool of request threads answers the requests that have arrived whole.

#include <memory>
#include <string>

#include "service/net/request_limits.h"
#include "service/service_data.h"

namespace service {

class HttpServer {
 public:
  // data must outlive the server; threads is the number of requests answered at once, each
  // request bounded by limits. Idle and slow connections take no request thread.
  HttpServer(ServiceData& data, int threads, const RequestLimits& limits = {});
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds host:port (port 0 picks a free one) and starts serving on threads of its own. False
  // with error set when the address cannot be bound (in use, not local, not an address).
  // publicUrl ("http://host:port", no trailing slash) is where the answers' links (releases, head
  // images) point; empty: "http://" and the bound address. Nothing a request says changes it.
  bool Start(const std::string& host, int port, std::string& error, const std::string& publicUrl = {});
  // The bound port; 0 before Start succeeded.
  int port() const { return port_; }
  // "host:port" as bound, an IPv6 host in brackets; empty before Start succeeded.
  const std::string& address() const;
  // The start of every link the answers carry; empty before Start succeeded.
  const std::string& publicUrl() const;
  // Stops accepting, finishes the requests in hand and joins the serving threads. Idempotent.
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int port_ = 0;
};

}  // namespace service
