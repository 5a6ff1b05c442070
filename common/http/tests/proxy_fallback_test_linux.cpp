// The fallback when a request cannot get out directly: the user's own proxy configuration, which on
// Linux is the proxy environment.

#include "common/http/win_http_client.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/http/tests/client_test_support.h"
#include "testing/loopback_server.h"

using testing_support::ClosedPort;
using testing_support::LoopbackServer;
using testing_support::UseShortTimeouts;

namespace {

TEST(WinHttpClientProxy, FallsBackToTheProxyEnvironmentWhenTheDirectWayFails) {
  LoopbackServer envProxy;
  envProxy.server().Get(".*", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content("env proxy for " + req.target, "text/plain");
  });
  ASSERT_GT(envProxy.Start(), 0);
  std::string proxyUrl = "http://127.0.0.1:" + std::to_string(envProxy.port());
  std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/page";
  setenv("no_proxy", "", 1);
  setenv("NO_PROXY", "", 1);

  setenv("http_proxy", proxyUrl.c_str(), 1);
  WinHttpClient client(url);
  UseShortTimeouts(client);
  bool sent = client.SendRequest("GET", false);
  unsetenv("http_proxy");
  ASSERT_TRUE(sent);
  EXPECT_EQ(client.GetResponseText(), "env proxy for " + url);
  EXPECT_EQ(envProxy.SeenCount(), 1u);  // the first attempt went direct

  // A proxy of the caller's own is never replaced by the environment.
  setenv("http_proxy", proxyUrl.c_str(), 1);
  WinHttpClient named(url);
  UseShortTimeouts(named);
  named.proxyServer = "127.0.0.1:" + std::to_string(ClosedPort());
  EXPECT_FALSE(named.SendRequest("GET", false));
  unsetenv("http_proxy");
  EXPECT_EQ(envProxy.SeenCount(), 1u);
}

}  // namespace
