// Answers that would hold the client without end: bodies and header blocks past their bounds, and
// header blocks that arrive slowly or never end. Each ends in an answer or a clear failure, never in memory
// without bound.

#include "common/http/win_http_client.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "testing/loopback_server.h"
#include "common/http/tests/scripted_server.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"
#include "testing/under_wine.h"

#ifdef _WIN32
// windows.h (through the servers' sockets) names its PostMessage function by a macro that would
// rename the method of HoldingTarget below.
#undef PostMessage
#endif

using testing_support::LoopbackServer;
using testing_support::ScriptedServer;
using testing_support::TempFolder;
using testing_support::UnderWine;

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

const uint32_t kTimedOut = http::kErrorTimedOut;

// A server whose every answer has a body that never ends.
void ServeEndlessBodies(LoopbackServer& server, const std::string& chunk) {
  server.server().Get("/endless", [&chunk](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/octet-stream", [&chunk](size_t, httplib::DataSink& sink) {
      return sink.write(chunk.data(), chunk.size());
    });
  });
}

TEST(WinHttpClientBounds, AnEndlessBodyFailsAtTheBoundOnceAndLeavesNothing) {
  const std::string chunk(64 * 1024, 'x');
  LoopbackServer server;
  ServeEndlessBodies(server, chunk);
  ASSERT_GT(server.Start(), 0);
  TempFolder folder;

  WinHttpClient client(server.Url("/endless"));
  client.maxResponseBytes = 1 << 20;
  EXPECT_FALSE(client.SendRequest("GET", false));
  EXPECT_EQ(client.GetLastErrorCode(), WinHttpClient::kErrorAnswerTooLarge);
  EXPECT_EQ(client.GetResponseLength(), 0u);
  EXPECT_EQ(client.GetResponseBytes(), nullptr);
  EXPECT_EQ(client.GetResponseText(), "");
  EXPECT_FALSE(client.SaveResponseToFile(folder.File("endless.bin")));
  EXPECT_FALSE(platform::PathExists(folder.File("endless.bin")));
  EXPECT_EQ(server.SeenCount(), 1u);  // the same flood is not fetched again
}

TEST(WinHttpClientBounds, ABodyOfExactlyTheBoundIsKeptAndOneByteMoreIsNot) {
  constexpr size_t kBound = 100000;
  const std::string exact(kBound, 'b');
  const std::string over(kBound + 1, 'b');
  LoopbackServer server;
  server.server().Get("/exact", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(exact, "application/octet-stream");
  });
  server.server().Get("/announced", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(over, "application/octet-stream");
  });
  server.server().Get("/chunked", [&](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("application/octet-stream", [&](size_t offset, httplib::DataSink& sink) {
      if (offset < over.size()) return sink.write(over.data() + offset, std::min<size_t>(30000, over.size() - offset));
      sink.done();
      return true;
    });
  });
  ASSERT_GT(server.Start(), 0);

  WinHttpClient exactly(server.Url("/exact"));
  exactly.maxResponseBytes = kBound;
  ASSERT_TRUE(exactly.SendRequest("GET", false));
  EXPECT_EQ(exactly.GetResponseLength(), kBound);
  for (const char* path : {"/announced", "/chunked"}) {
    SCOPED_TRACE(path);
    WinHttpClient client(server.Url(path));
    client.maxResponseBytes = kBound;
    EXPECT_FALSE(client.SendRequest("GET", false));
    EXPECT_EQ(client.GetLastErrorCode(), WinHttpClient::kErrorAnswerTooLarge);
    EXPECT_EQ(client.GetResponseLength(), 0u);
  }
}

TEST(WinHttpClientBounds, ALengthAnnouncedPastTheBoundFailsWithoutWaitingForTheBody) {
  ScriptedServer server([](ScriptedServer::Connection& peer) {
    if (peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 10485760\r\n\r\nfirst bytes")) peer.Pause(milliseconds(20000));
  });
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/big"));
  client.maxResponseBytes = 1 << 20;
  EXPECT_FALSE(client.SendRequest("GET", false));
  EXPECT_EQ(client.GetLastErrorCode(), WinHttpClient::kErrorAnswerTooLarge);  // not the receive time-out
  EXPECT_EQ(server.Connections(), 1);
}

TEST(WinHttpClientBounds, ACallerThatNamesNoBoundGetsTheDefaultOne) {
  const std::string announced = std::to_string(WinHttpClient::kDefaultMaxResponseBytes + 1);
  ScriptedServer server([&announced](ScriptedServer::Connection& peer) {
    if (peer.Send("HTTP/1.1 200 OK\r\nContent-Length: " + announced + "\r\n\r\nfirst")) peer.Pause(milliseconds(20000));
  });
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/big"));
  EXPECT_FALSE(client.SendRequest("GET", false));
  EXPECT_EQ(client.GetLastErrorCode(), WinHttpClient::kErrorAnswerTooLarge);
}

TEST(WinHttpClientBounds, AHeaderBlockWithoutEndFailsAtTheHeaderBound) {
  if (UnderWine()) GTEST_SKIP() << "Wine's WinHTTP keeps no bound on the header block (Windows stops at 64 KiB)";
  ScriptedServer server([](ScriptedServer::Connection& peer) {
    const std::string line = "X-Filler: " + std::string(200, 'f') + "\r\n";
    if (!peer.Send("HTTP/1.1 200 OK\r\n")) return;
    while (peer.Send(line)) {
    }
  });
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/headers"));
  EXPECT_FALSE(client.SendRequest("GET", false));
  EXPECT_EQ(client.GetLastErrorCode(), WinHttpClient::kErrorAnswerTooLarge);
  EXPECT_EQ(server.Connections(), 1);
}

// Sends head at once, then dripped one byte per pause, then tail, or stalls when tail is empty.
ScriptedServer::Script Drip(std::string head, std::string dripped, milliseconds pause, std::string tail) {
  return [=](ScriptedServer::Connection& peer) {
    if (!peer.Send(head)) return;
    for (char c : dripped) {
      if (!peer.Pause(pause) || !peer.Send(std::string(1, c))) return;
    }
    if (tail.empty()) {
      peer.Pause(milliseconds(20000));
    } else {
      peer.Send(tail);
    }
  };
}

// One attempt's header block, however it trickles in, has the receive limit as a whole; three
// attempts of it, and the time the loopback exchange itself takes, stay far below this.
constexpr milliseconds kThreeAttemptsAtMost(3 * 700 + 6000);

// Windows counts the receive limit for the header block as a whole; Wine 8's WinHTTP counts it for
// each read and does not end a request whose handle is closed, so there nothing bounds the time of
// a header block that keeps coming.
constexpr const char* kWineCountsPerRead = "Wine's WinHTTP limits each read of the header block, not the block";

TEST(WinHttpClientReceiveLimit, AHeaderBlockThatDripsFailsAtTheLimitThoughEachByteComesInTime) {
  if (UnderWine()) GTEST_SKIP() << kWineCountsPerRead;
  // A byte every tenth of a second would keep an idle limit of 0.7 s waiting for 20 s.
  ScriptedServer server(Drip("HTTP/1.1 200 OK\r\nX-Drip: ", std::string(200, 'd'), milliseconds(100), "\r\n\r\n"));
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/drip"));
  client.timeouts = {0, 1000, 1000, 700};
  Clock::time_point begin = Clock::now();
  EXPECT_FALSE(client.SendRequest("GET", true));
  EXPECT_LT(Clock::now() - begin, kThreeAttemptsAtMost);
  EXPECT_EQ(client.GetLastErrorCode(), kTimedOut);
  EXPECT_EQ(client.GetResponseLength(), 0u);
  EXPECT_EQ(server.Connections(), 3);
}

TEST(WinHttpClientReceiveLimit, InterimAnswersDoNotStartTheLimitAgain) {
  if (UnderWine()) GTEST_SKIP() << kWineCountsPerRead;
  ScriptedServer server([](ScriptedServer::Connection& peer) {
    while (peer.Send("HTTP/1.1 100 Continue\r\n\r\n") && peer.Pause(milliseconds(200))) {
    }
  });
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/continue"));
  client.timeouts = {0, 1000, 1000, 700};
  Clock::time_point begin = Clock::now();
  EXPECT_FALSE(client.SendRequest("GET", true));
  EXPECT_LT(Clock::now() - begin, kThreeAttemptsAtMost);
  EXPECT_EQ(client.GetLastErrorCode(), kTimedOut);
}

TEST(WinHttpClientReceiveLimit, ABodyThatKeepsComingWithinTheLimitIsWaitedFor) {
  // The header block comes at once; the body's 16 bytes a tenth of a second apart take more than
  // twice the limit, each within it.
  ScriptedServer server(
      Drip("HTTP/1.1 200 OK\r\nContent-Length: 17\r\n\r\n", "abcdefghijklmnop", milliseconds(100), "."));
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/drip"));
  client.timeouts = {0, 1000, 1000, 700};
  ASSERT_TRUE(client.SendRequest("GET", true)) << client.GetLastErrorCode();
  EXPECT_EQ(client.GetResponseText(), "abcdefghijklmnop.");
  EXPECT_EQ(server.Connections(), 1);
}

TEST(WinHttpClientReceiveLimit, EachRequestOfARedirectHasTheLimitForItsOwnHeaders) {
  // Each answer comes 0.4 s after its request: 0.8 s in all, each within the limit of 0.6 s.
  auto served = std::make_shared<std::atomic<int>>(0);
  ScriptedServer server([served](ScriptedServer::Connection& peer) {
    if (!peer.Pause(milliseconds(400))) return;
    if ((*served)++ == 0) {
      peer.Send("HTTP/1.1 302 Found\r\nLocation: /new\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    } else {
      peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nConnection: close\r\n\r\nnew");
    }
  });
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/old"));
  // A connect limit below the wait for each answer: the second request counts as sent once its
  // new connection is up, not as still connecting.
  client.timeouts = {0, 300, 1000, 600};
  ASSERT_TRUE(client.SendRequest("GET", false)) << client.GetLastErrorCode();
  EXPECT_EQ(client.GetResponseText(), "new");
  EXPECT_EQ(server.Connections(), 2);
}

TEST(WinHttpClientReceiveLimit, AHeaderBlockThatStopsMidLineTimesOutTheLimitAfterTheRequest) {
  ScriptedServer server(Drip("HTTP/1.1 200 OK\r\nX-Drip: ", "abcdef", milliseconds(100), ""));
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/stall"));
  client.timeouts = {0, 1000, 1000, 500};
  Clock::time_point begin = Clock::now();
  EXPECT_FALSE(client.SendRequest("GET", true));
  Clock::duration spent = Clock::now() - begin;
  EXPECT_EQ(client.GetLastErrorCode(), kTimedOut);
  EXPECT_EQ(server.Connections(), 3);
  EXPECT_GE(spent, milliseconds(3 * 500));
  EXPECT_LT(spent, kThreeAttemptsAtMost);
}

// A window that keeps the download waiting at its first report for longer than the receive limit,
// as the updater does while it asks whether to stop.
class HoldingTarget : public platform::MessageTarget {
 public:
  bool PostMessage(unsigned, uintptr_t, intptr_t) override {
    if (!held_) {
      held_ = true;
      std::this_thread::sleep_for(milliseconds(1200));
    }
    return true;
  }

 private:
  bool held_ = false;
};

TEST(WinHttpClientReceiveLimit, TimeTheCallerHoldsTheBodyIsNotThePeersSilence) {
  // The rest comes 1.4 s after the first bytes: 0.2 s after the caller lets go, within the limit.
  ScriptedServer server([](ScriptedServer::Connection& peer) {
    if (peer.Send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nab") && peer.Pause(milliseconds(1400))) peer.Send("cd");
  });
  ASSERT_GT(server.Start(), 0);
  WinHttpClient client(server.Url("/file"));
  client.timeouts = {0, 1000, 1000, 500};
  HoldingTarget target;
  client.progressTarget = &target;
  ASSERT_TRUE(client.SendRequest("GET", true)) << client.GetLastErrorCode();
  EXPECT_EQ(client.GetResponseText(), "abcd");
  EXPECT_EQ(server.Connections(), 1);
}

}  // namespace
