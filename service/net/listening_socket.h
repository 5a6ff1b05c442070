#pragma once
// Opens the socket the service listens on.

#include <string>

#include "platform/unique_fd.h"

namespace service {

// A non-blocking socket bound to host:port (a name or a numeric address; port 0 picks a free one) and
// listening, with boundPort set to the port it got; empty when the address cannot be bound (in use,
// not local, not an address). Address reuse lets a restart bind while old connections linger, but no
// port sharing: a second service on a taken port must fail to bind instead of silently splitting the
// requests.
platform::UniqueFd ListenOn(const std::string& host, int port, int& boundPort);

}  // namespace service
