#include "service/net/listening_socket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <memory>

namespace service {

platform::UniqueFd ListenOn(const std::string& host, int port, int& boundPort) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  std::string service = std::to_string(port);
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) return {};
  std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> results(found, freeaddrinfo);
  for (addrinfo* at = found; at; at = at->ai_next) {
    platform::UniqueFd socket(::socket(at->ai_family, at->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, at->ai_protocol));
    if (!socket) continue;
    int yes = 1;
    setsockopt(socket.get(), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (bind(socket.get(), at->ai_addr, at->ai_addrlen) != 0 || listen(socket.get(), SOMAXCONN) != 0) continue;
    sockaddr_storage name{};
    socklen_t length = sizeof name;
    if (getsockname(socket.get(), reinterpret_cast<sockaddr*>(&name), &length) != 0) continue;
    boundPort = ntohs(name.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&name)->sin6_port
                                                 : reinterpret_cast<sockaddr_in*>(&name)->sin_port);
    return socket;
  }
  return {};
}

}  // namespace service
