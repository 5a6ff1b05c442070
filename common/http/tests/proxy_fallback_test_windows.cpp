// The fallback when a request cannot get out directly: the user's own proxy configuration, which on
// Windows is the browser's.

#include "common/http/win_http_client.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

#include "common/http/tests/client_test_support.h"
#include "testing/loopback_server.h"

using testing_support::ClosedPort;
using testing_support::LoopbackServer;
using testing_support::UseShortTimeouts;

namespace {

// The browser's connection settings in the user's part of the registry, replaced for one test and
// put back after it.
class BrowserProxySetting {
 public:
  explicit BrowserProxySetting(const std::string& proxy) {
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr) !=
        ERROR_SUCCESS) {
      key_ = nullptr;
      return;
    }
    DWORD size = 0;
    if (::RegQueryValueExW(key_, kValue, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
      saved_.resize(size);
      hadValue_ = ::RegQueryValueExW(key_, kValue, nullptr, nullptr, saved_.data(), &size) == ERROR_SUCCESS;
    }
    // Version, counter, flags (a fixed proxy), then the proxy, the bypass list and the script,
    // each as a length and its bytes.
    std::vector<BYTE> settings;
    auto put = [&settings](DWORD number) {
      const auto* bytes = reinterpret_cast<const BYTE*>(&number);
      settings.insert(settings.end(), bytes, bytes + sizeof number);
    };
    put(0x46);
    put(1);
    put(0x2);
    put(static_cast<DWORD>(proxy.size()));
    settings.insert(settings.end(), proxy.begin(), proxy.end());
    put(0);
    put(0);
    written_ = ::RegSetValueExW(key_, kValue, 0, REG_BINARY, settings.data(), static_cast<DWORD>(settings.size())) ==
               ERROR_SUCCESS;
  }
  ~BrowserProxySetting() {
    if (!key_) return;
    if (hadValue_) {
      ::RegSetValueExW(key_, kValue, 0, REG_BINARY, saved_.data(), static_cast<DWORD>(saved_.size()));
    } else {
      ::RegDeleteValueW(key_, kValue);
    }
    ::RegCloseKey(key_);
  }
  BrowserProxySetting(const BrowserProxySetting&) = delete;
  BrowserProxySetting& operator=(const BrowserProxySetting&) = delete;

  bool written() const { return written_; }

 private:
  static constexpr const wchar_t* kKey =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
  static constexpr const wchar_t* kValue = L"DefaultConnectionSettings";
  HKEY key_ = nullptr;
  std::vector<BYTE> saved_;
  bool hadValue_ = false;
  bool written_ = false;
};

TEST(WinHttpClientProxy, FallsBackToTheBrowserProxyWhenTheDirectWayFails) {
  LoopbackServer browserProxy;
  browserProxy.server().Get(".*", [](const httplib::Request& req, httplib::Response& res) {
    res.set_content("browser proxy for " + req.target, "text/plain");
  });
  ASSERT_GT(browserProxy.Start(), 0);
  // The origin's name differs from the proxy's: Wine's WinHTTP sends the path alone, not the URL,
  // to a proxy of the same name.
  std::string url = "http://localhost:" + std::to_string(ClosedPort()) + "/page";
  BrowserProxySetting setting("127.0.0.1:" + std::to_string(browserProxy.port()));
  ASSERT_TRUE(setting.written());

  WinHttpClient client(url);
  UseShortTimeouts(client);
  ASSERT_TRUE(client.SendRequest("GET", false)) << client.GetLastErrorCode();
  EXPECT_EQ(client.GetResponseText(), "browser proxy for " + url);
  EXPECT_EQ(browserProxy.SeenCount(), 1u);  // the first attempt went direct

  // A proxy of the caller's own is never replaced by the browser's.
  WinHttpClient named(url);
  UseShortTimeouts(named);
  named.proxyServer = "127.0.0.1:" + std::to_string(ClosedPort());
  EXPECT_FALSE(named.SendRequest("GET", false));
  EXPECT_EQ(browserProxy.SeenCount(), 1u);
}

}  // namespace
