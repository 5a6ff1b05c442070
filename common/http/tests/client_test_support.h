#pragma once
// What the client's tests against loopback servers share.

#include "common/http/win_http_client.h"
#include "testing/loopback_server.h"

namespace testing_support {

// Short limits so that failing attempts end fast.
inline void UseShortTimeouts(WinHttpClient& client, int receive = 300) { client.timeouts = {0, 1000, 1000, receive}; }

// A port on loopback that nothing listens on.
inline int ClosedPort() {
  LoopbackServer server;
  return server.Start();  // the server stops at the end of this scope and frees the port
}

}  // namespace testing_support
