// WinHttpClient against real servers on loopback: what goes out, what comes back, and how
// failures, redirects, proxies and stalls are handled.

#include "common/http/win_http_client.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdlib>

#include "common/http/tests/client_test_support.h"
#include "common/http/tests/progress_recorder.h"
#include "common/http/transfer.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "testing/loopback_server.h"
#include "testing/temp_folder.h"

using testing_support::ClosedPort;
using testing_support::LoopbackServer;
using testing_support::ProgressRecorder;
using testing_support::TempFolder;
using testing_support::UseShortTimeouts;

namespace {

constexpr const char* kForm = "Content-Length: %zu\r\nContent-Type: application/x-www-form-urlencoded\r\n";

std::string FormHeaders(size_t length) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, kForm, length);
  return buffer;
}

// An existing file opened for reading and writing, its offset moved to offset.
platform::UniqueFd OpenAt(const std::string& path, long offset) {
#ifdef _WIN32
  platform::UniqueFd fd(::_open(path.c_str(), _O_RDWR | _O_BINARY | _O_NOINHERIT));
  if (fd && ::_lseeki64(fd.get(), offset, SEEK_SET) != offset) return {};
#else
  platform::UniqueFd fd(::open(path.c_str(), O_RDWR | O_CLOEXEC));
  if (fd && ::lseek(fd.get(), offset, SEEK_SET) != offset) return {};
#endif
  return fd;
}

TEST(WinHttpClientRequest, RefusesAnEmptyUrlAndUnknownVerbsWithoutSending) {
  LoopbackServer server;
  server.server().Put("/x", [](const httplib::Request&, httplib::Response& res) { res.set_content("put", "text/plain"); });
  ASSERT_GT(server.Start(), 0);

  WinHttpClient empty("");
  EXPECT_FALSE(empty.SendRequest("GET", false));
  EXPECT_EQ(empty.GetLastErrorCode(), WinHttpClient::kErrorEmptyUrl);

  WinHttpClient put(server.Url("/x"));
  EXPECT_FALSE(put.SendRequest("PUT", false));
  EXPECT_EQ(put.GetLastErrorCode(), WinHttpClient::kErrorBadVerb);
  EXPECT_EQ(server.SeenCount(), 0u);

  WinHttpClient ftp("ftp://127.0.0.1/file");
  EXPECT_FALSE(ftp.SendRequest("GET", false));
  EXPECT_NE(ftp.GetLastErrorCode(), 0u);
}

TEST(WinHttpClientRequest, PostsTheBodyBytesAndMergedHeadersInAnyVerbCase) {
  LoopbackServer server;
  server.server().Post("/api", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<ok/>", "text/xml");
  });
  ASSERT_GT(server.Start(), 0);

  // GBK bytes with a raw "&" and "=": the body goes out exactly as given.
  std::string body = "method=user.id.get&account=" + platform::ToCodePage("张三") + "&password=a&b";
  WinHttpClient client(server.Url("/api"));
  client.SetRequestBody(body);
  client.additionalHeaders = FormHeaders(body.size()) + "X-Tag: one\r\nx-tag: two\r\n";
  ASSERT_TRUE(client.SendRequest("post", true));
  EXPECT_EQ(client.GetHostName(), "127.0.0.1");

  auto seen = server.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].method, "POST");
  EXPECT_EQ(seen[0].body, body);
  EXPECT_EQ(seen[0].Header("Content-Length"), std::to_string(body.size()));
  EXPECT_EQ(seen[0].Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(seen[0].Header("X-Tag"), "one; two");
  EXPECT_EQ(seen[0].Header("User-Agent"), "WinHttpClient");
  EXPECT_FALSE(seen[0].HasHeader("Expect"));
}

TEST(WinHttpClientRequest, RetriedAttemptsSendTheSameHeadersAgain) {
  LoopbackServer server;
  server.server().Get("/page", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<HTML><body>cut", "text/html");
  });
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/page"));
  client.additionalHeaders = "X-Tag: one\r\n";
  EXPECT_FALSE(client.SendRequest("GET", false));
  auto seen = server.Seen();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[2].Header("X-Tag"), "one");
}

TEST(WinHttpClientAnswer, DecodesByTheAnswersCharsetWhateverItsCase) {
  LoopbackServer server;
  server.server().Get("/utf8", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("中文", "text/xml; CHARSET=UTF-8");
  });
  server.server().Get("/gbk", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(platform::ToCodePage("中文"), "text/xml; charset=gbk");
  });
  server.server().Get("/none", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("中文", "text/xml");
  });
  ASSERT_GT(server.Start(), 0);

  WinHttpClient utf8(server.Url("/utf8"));
  ASSERT_TRUE(utf8.SendRequest("GET", false));
  EXPECT_EQ(utf8.charset, "UTF-8");
  EXPECT_EQ(utf8.GetResponseText(), "中文");

  WinHttpClient gbk(server.Url("/gbk"));
  gbk.charset = "utf-8";
  ASSERT_TRUE(gbk.SendRequest("GET", false));
  EXPECT_EQ(gbk.charset, "gbk");
  EXPECT_EQ(gbk.GetResponseText(), "中文");

  WinHttpClient preset(server.Url("/none"));
  preset.charset = "utf-8";
  ASSERT_TRUE(preset.SendRequest("GET", false));
  EXPECT_EQ(preset.charset, "utf-8");
  EXPECT_EQ(preset.GetResponseText(), "中文");
  EXPECT_NE(preset.GetResponseHeaders().find("HTTP/1.1 200"), std::string::npos);
  EXPECT_EQ(preset.GetResponseHeaders().substr(preset.GetResponseHeaders().size() - 4), "\r\n\r\n");
}

TEST(WinHttpClientAnswer, ErrorStatusesAreAnswersWithTheirBodies) {
  LoopbackServer server;
  server.server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
    res.status = 404;
    res.set_content("no such page", "text/plain");
  });
  server.server().Post("/broken", [](const httplib::Request&, httplib::Response& res) {
    res.status = 500;
    res.set_content("<error_res><code>9</code></error_res>", "text/xml");
  });
  ASSERT_GT(server.Start(), 0);

  WinHttpClient missing(server.Url("/missing"));
  ASSERT_TRUE(missing.SendRequest("GET", false));
  EXPECT_EQ(missing.GetResponseText(), "no such page");
  EXPECT_EQ(missing.GetContentLength(), 12u);

  WinHttpClient broken(server.Url("/broken"));
  ASSERT_TRUE(broken.SendRequest("POST", true));
  EXPECT_EQ(broken.GetResponseText(), "<error_res><code>9</code></error_res>");
  EXPECT_EQ(server.SeenCount(), 2u);
}

TEST(WinHttpClientAnswer, ReportsProgressBeforeEachChunkAndAfterTheLast) {
  const std::string body(300 * 1024, 'x');
  LoopbackServer server;
  server.server().Get("/sized", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(body, "application/octet-stream");
  });
  server.server().Get("/chunked", [&](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/octet-stream", [&](size_t offset, httplib::DataSink& sink) {
      if (offset < body.size()) {
        sink.write(body.data() + offset, std::min<size_t>(64 * 1024, body.size() - offset));
      } else {
        sink.done();
      }
      return true;
    });
  });
  ASSERT_GT(server.Start(), 0);

  for (const char* path : {"/sized", "/chunked"}) {
    SCOPED_TRACE(path);
    ProgressRecorder recorder;
    WinHttpClient client(server.Url(path));
    client.progressTarget = &recorder;
    ASSERT_TRUE(client.SendRequest("GET", false));
    ASSERT_EQ(client.GetResponseLength(), body.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(client.GetResponseBytes()), client.GetResponseLength()), body);

    auto posted = recorder.Posted();
    ASSERT_GE(posted.size(), 3u);
    intptr_t expectedLength = std::string(path) == "/sized" ? static_cast<intptr_t>(body.size()) : 0;
    EXPECT_EQ(posted.front().wParam, 0u);
    uintptr_t previous = 0;
    for (const auto& message : posted) {
      EXPECT_EQ(message.message, WM_HTTP_PROGRESS);
      EXPECT_EQ(message.lParam, expectedLength);
      EXPECT_GE(message.wParam, previous);
      previous = message.wParam;
    }
    EXPECT_EQ(posted.back().wParam, body.size());
    EXPECT_LT(posted[posted.size() - 2].wParam, body.size());
  }
}

TEST(WinHttpClientAnswer, SavesTheBodyOnlyWhenThereIsOne) {
  LoopbackServer server;
  server.server().Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/plain"); });
  server.server().Get("/bytes", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string("a\0b\xff", 4), "application/octet-stream");
  });
  ASSERT_GT(server.Start(), 0);
  TempFolder folder;

  WinHttpClient empty(server.Url("/empty"));
  ASSERT_TRUE(empty.SendRequest("GET", false));
  EXPECT_FALSE(empty.SaveResponseToFile(folder.File("empty.bin")));
  EXPECT_FALSE(platform::PathExists(folder.File("empty.bin")));

  WinHttpClient bytes(server.Url("/bytes"));
  ASSERT_TRUE(bytes.SendRequest("GET", false));
  EXPECT_EQ(bytes.GetResponseText(), "a");  // text ends at the first zero byte
  ASSERT_TRUE(bytes.SaveResponseToFile(folder.File("bytes.bin")));
  EXPECT_EQ(platform::ReadWholeFile(folder.File("bytes.bin")), std::string("a\0b\xff", 4));
  EXPECT_FALSE(bytes.SaveResponseToFile(folder.File("no/such/folder.bin")));
}

// A body sent to a file is the file's from its start: what was there before goes, the bound still
// holds and leaves nothing, and nothing of the body is held in memory.
TEST(WinHttpClientAnswer, ABodyToAFileReplacesItsContentsWithinTheBound) {
  LoopbackServer server;
  std::string big;
  for (int i = 0; i < 300000; ++i) big.push_back(static_cast<char>(i * 131 + 7));
  server.server().Get("/big", [&big](const httplib::Request&, httplib::Response& res) {
    res.set_content(big, "application/octet-stream");
  });
  ASSERT_GT(server.Start(), 0);
  TempFolder folder;
  const std::string path = folder.File("body.bin");
  ASSERT_TRUE(platform::WriteFileAtomically(path, std::string(500000, 'o')));
  // The descriptor's own offset is not where the body goes.
  platform::UniqueFd fd = OpenAt(path, 1234);
  ASSERT_TRUE(fd);

  WinHttpClient client(server.Url("/big"));
  client.responseFile = fd.get();
  client.maxResponseBytes = 300000;
  ASSERT_TRUE(client.SendRequest("GET", false));
  EXPECT_EQ(client.GetResponseLength(), big.size());
  EXPECT_EQ(client.GetResponseBytes(), nullptr);
  EXPECT_EQ(platform::ReadWholeFile(path), big);

  WinHttpClient bounded(server.Url("/big"));
  bounded.responseFile = fd.get();
  bounded.maxResponseBytes = 299999;
  EXPECT_FALSE(bounded.SendRequest("GET", false));
  EXPECT_EQ(bounded.GetLastErrorCode(), WinHttpClient::kErrorAnswerTooLarge);
  EXPECT_EQ(platform::ReadWholeFile(path), "");
}

TEST(WinHttpClientAnswer, ABodyThatCannotGrowFailsTheRequest) {
  LoopbackServer server;
  server.server().Get("/big", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::string(100000, 'z'), "text/plain");
  });
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/big"));
  client.SetBufferLimitForTest(40960);
  EXPECT_FALSE(client.SendRequest("GET", false));
  EXPECT_EQ(server.SeenCount(), 1u);  // not retried
  EXPECT_LE(client.GetResponseLength(), 40960u);
}

TEST(WinHttpClientHtmlRule, AnOpenedButUnclosedPageIsFetchedThreeTimesOnlyForAFollowingGet) {
  LoopbackServer server;
  auto cut = [](const httplib::Request&, httplib::Response& res) { res.set_content("<HTML><body>half", "text/html"); };
  server.server().Get("/cut", cut);
  server.server().Post("/cut", cut);
  server.server().Get("/whole", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<Html><body>all</body></hTML>", "text/html");
  });
  ASSERT_GT(server.Start(), 0);

  WinHttpClient get(server.Url("/cut"));
  EXPECT_FALSE(get.SendRequest("GET", false));
  EXPECT_EQ(get.GetLastErrorCode(), WinHttpClient::kErrorIncompletePage);
  EXPECT_EQ(server.SeenCount(), 3u);
  EXPECT_EQ(get.GetResponseText(), "<HTML><body>half");  // the last answer stays readable

  WinHttpClient post(server.Url("/cut"));
  EXPECT_TRUE(post.SendRequest("POST", false));
  WinHttpClient noRedirects(server.Url("/cut"));
  EXPECT_TRUE(noRedirects.SendRequest("GET", true));
  WinHttpClient whole(server.Url("/whole"));
  EXPECT_TRUE(whole.SendRequest("GET", false));
  EXPECT_EQ(server.SeenCount(), 6u);
}

TEST(WinHttpClientRedirects, FollowedUnlessDisabledBoundedAndOnlyToHttp) {
  LoopbackServer server;
  server.server().Get("/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new"); });
  server.server().Get("/new", [](const httplib::Request&, httplib::Response& res) { res.set_content("moved here", "text/plain"); });
  server.server().Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
  server.server().Get("/file", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("file:///etc/passwd"); });
  ASSERT_GT(server.Start(), 0);

  WinHttpClient followed(server.Url("/old"));
  ASSERT_TRUE(followed.SendRequest("GET", false));
  EXPECT_EQ(followed.GetResponseText(), "moved here");
  EXPECT_EQ(followed.GetResponseHeaders().find("302"), std::string::npos);  // the final answer's headers only

  WinHttpClient kept(server.Url("/old"));
  ASSERT_TRUE(kept.SendRequest("GET", true));
  EXPECT_NE(kept.GetResponseHeaders().find("HTTP/1.1 302"), std::string::npos);
  EXPECT_NE(kept.GetResponseHeaders().find("/new"), std::string::npos);
  EXPECT_EQ(server.SeenCount(), 3u);

  size_t before = server.SeenCount();
  WinHttpClient loop(server.Url("/loop"));
  EXPECT_FALSE(loop.SendRequest("GET", false));
  EXPECT_EQ(loop.GetLastErrorCode(), http::kErrorTooManyRedirects);
  size_t loopRequests = server.SeenCount() - before;
  EXPECT_GE(loopRequests, 3u);
  EXPECT_LE(loopRequests, 3u * 11u);

  WinHttpClient file(server.Url("/file"));
  EXPECT_FALSE(file.SendRequest("GET", false));
  // Nothing went anywhere but the redirect's own place, not even a path named after the file.
  auto seen = server.Seen();
  for (size_t i = before + loopRequests; i < seen.size(); ++i) EXPECT_EQ(seen[i].target, "/file");
}

TEST(WinHttpClientRedirects, APostMovedBy302IsAskedForWithGetAndOneMovedBy307IsPostedAgain) {
  LoopbackServer server;
  server.server().Post("/found", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new", 302); });
  server.server().Post("/temporary", [](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("/new", 307);
  });
  auto answer = [](const httplib::Request& req, httplib::Response& res) {
    res.set_content(req.method + " " + req.body, "text/plain");
  };
  server.server().Get("/new", answer);
  server.server().Post("/new", answer);
  ASSERT_GT(server.Start(), 0);

  WinHttpClient found(server.Url("/found"));
  found.SetRequestBody("a=1");
  ASSERT_TRUE(found.SendRequest("POST", false)) << found.GetLastErrorCode();
  EXPECT_EQ(found.GetResponseText(), "GET ");

  WinHttpClient temporary(server.Url("/temporary"));
  temporary.SetRequestBody("a=1");
  ASSERT_TRUE(temporary.SendRequest("POST", false)) << temporary.GetLastErrorCode();
  EXPECT_EQ(temporary.GetResponseText(), "POST a=1");
  EXPECT_EQ(server.SeenCount(), 4u);
}

TEST(WinHttpClientFailures, AStalledServerCostsThreeAttemptsOfTheReceiveLimit) {
  LoopbackServer server;
  std::atomic<int> started{0};
  server.server().Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
    ++started;
    server.Stall(std::chrono::seconds(10));
    res.set_content("late", "text/plain");
  });
  ASSERT_GT(server.Start(), 0);

  WinHttpClient client(server.Url("/slow"));
  UseShortTimeouts(client, 200);
  auto begin = std::chrono::steady_clock::now();
  EXPECT_FALSE(client.SendRequest("GET", false));
  auto spent = std::chrono::steady_clock::now() - begin;
  EXPECT_EQ(client.GetLastErrorCode(), http::kErrorTimedOut);
  EXPECT_EQ(started.load(), 3);
  EXPECT_GE(spent, std::chrono::milliseconds(600));
  EXPECT_LT(spent, std::chrono::milliseconds(3000));
}

TEST(WinHttpClientFailures, ANothingListeningPortFailsAfterThreeAttempts) {
  int port = ClosedPort();
  WinHttpClient client("http://127.0.0.1:" + std::to_string(port) + "/");
  UseShortTimeouts(client);
  EXPECT_FALSE(client.SendRequest("GET", false));
  EXPECT_EQ(client.GetLastErrorCode(), http::kErrorCannotConnect);
}

// A forward proxy that wants credentials: it answers 407 until it gets them, then answers for
// the origin itself.
class CredentialProxy {
 public:
  CredentialProxy() {
    auto handler = [](const httplib::Request& req, httplib::Response& res) {
      if (!req.has_header("Proxy-Authorization")) {
        res.status = 407;
        res.set_header("Proxy-Authenticate", "Basic realm=\"office\"");
        return;
      }
      res.set_content("via proxy: " + req.body, "text/plain");
    };
    server.server().Get(".*", handler);
    server.server().Post(".*", handler);
  }
  LoopbackServer server;
};

TEST(WinHttpClientProxy, ANamedProxyGetsTheRequestAndItsCredentials) {
  CredentialProxy proxy;
  ASSERT_GT(proxy.server.Start(), 0);
  int origin = ClosedPort();  // only the proxy is reached
  // The origin's name differs from the proxy's: Wine's WinHTTP sends the path alone, not the URL,
  // to a proxy of the same name.
  std::string url = "http://localhost:" + std::to_string(origin) + "/api?x=1";

  WinHttpClient client(url);
  client.proxyServer = "127.0.0.1:" + std::to_string(proxy.server.port());
  client.proxyUserName = "user";
  client.proxyPassword = "pa:ss";
  client.SetRequestBody("method=vymera.get");
  client.additionalHeaders = FormHeaders(17);
  ASSERT_TRUE(client.SendRequest("POST", true));
  EXPECT_EQ(client.GetResponseText(), "via proxy: method=vymera.get");

  auto seen = proxy.server.Seen();
  ASSERT_FALSE(seen.empty());
  const auto& last = seen.back();
  EXPECT_EQ(last.target, url);
  EXPECT_EQ(last.Header("Proxy-Authorization"), "Basic dXNlcjpwYTpzcw==");
  EXPECT_EQ(last.body, "method=vymera.get");
}

}  // namespace
