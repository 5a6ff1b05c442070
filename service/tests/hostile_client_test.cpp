// The service under clients that send what the real client never would: bodies that can be cut
// into fields in countless ways, endless or oversized heads, requests dripped out over seconds.

#include <atomic>
#include <fstream>
#include <thread>
#include <vector>

#include "service/tests/raw_connection.h"
#include "service/tests/service_fixture.h"

namespace service_test {
namespace {

using HostileBodies = ServiceFixture;
using HostileHeads = ServiceFixture;
using SlowClients = ServiceFixture;

std::string Repeated(std::initializer_list<std::string_view> names, int times) {
  std::string text;
  for (std::string_view name : names)
    for (int i = 0; i < times; ++i) text += "&" + std::string(name) + "=";
  return text;
}

TEST_F(HostileBodies, RepeatedFieldNamesAreRefusedAtOnce) {
  // Six kilobytes whose middle fields fit together in millions of ways, none of them complete, and
  // the same with a complete but unsigned ending.
  std::string endless = "method=K700.byte.up&pedcode=" + Repeated({"user_id", "date", "sign"}, 300) + "&type=k690";
  std::string unsigned_ =
      "method=K700.byte.up&pedcode=" + Repeated({"user_id", "date", "sign", "file"}, 250) + "&type=k690";
  auto start = Clock::now();
  auto incomplete = PostRaw(endless);
  auto ambiguous = PostRaw(unsigned_);
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_EQ(incomplete->Child("code"), "2");
  EXPECT_EQ(ambiguous->Child("code"), "2");
  EXPECT_EQ(ambiguous->Child("msg"), "请求字段无法分辨");
  // Milliseconds now; the search that tried every placement took minutes for these bodies.
  EXPECT_LT(seconds, 2.0);
}

// Peak resident memory of this process since the last ResetPeakMemory, in bytes; the current size
// where the kernel cannot reset the peak.
void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }
size_t PeakMemory() {
  std::ifstream status("/proc/self/status");
  std::string line;
  size_t rss = 0;
  size_t peak = 0;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) peak = std::stoul(line.substr(6)) * 1024;
    if (line.rfind("VmRSS:", 0) == 0) rss = std::stoul(line.substr(6)) * 1024;
  }
  return std::max(peak, rss);
}

TEST_F(HostileHeads, EndlessHeaderLinesAreRefusedWith431WithinBoundedMemory) {
  constexpr size_t kAttempt = 50 * 1024 * 1024;
  std::string line = "X-Fill: " + std::string(1000, 'a') + "\r\n";
  ResetPeakMemory();
  size_t before = PeakMemory();
  std::vector<Flood> floods(4);
  std::vector<std::thread> senders;
  for (Flood& flood : floods)
    senders.emplace_back([&, port = server_->port()] {
      flood = SendFlood(port, "GET /help HTTP/1.1\r\nHost: 127.0.0.1\r\n", line, kAttempt);
    });
  for (std::thread& sender : senders) sender.join();
  for (const Flood& flood : floods) {
    EXPECT_EQ(StatusOf(flood.answer), 431) << flood.answer.substr(0, 100);
    // What the socket buffers took before the service stopped reading, not the 50 MB.
    EXPECT_LT(flood.sent, kAttempt / 4);
  }
  EXPECT_LT(PeakMemory() - before, size_t{64} * 1024 * 1024);
  auto help = client_->Get("/help");
  ASSERT_TRUE(help);
  EXPECT_EQ(help->status, 200);
}

// A GET /help head of exactly size bytes with fields header lines.
std::string HeadOf(size_t fields, size_t size) {
  std::string head = "GET /help HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
  size_t filled = fields - 2;
  size_t fill = size - head.size() - 2 - filled * std::string_view("X-F: \r\n").size();
  for (size_t i = 0; i < filled; ++i) {
    size_t here = fill / filled + (i < fill % filled ? 1 : 0);
    head += "X-F: " + std::string(here, 'v') + "\r\n";
  }
  return head + "\r\n";
}

int StatusForHead(int port, const std::string& head) {
  RawConnection connection(port);
  connection.Send(head);
  return StatusOf(connection.ReceiveUntilClosed(std::chrono::seconds(2)));
}

TEST_F(HostileHeads, HeadsAreBoundInSizeAndFieldCount) {
  int port = server_->port();
  size_t maxBytes = limits_.maxHeadBytes;
  size_t maxFields = limits_.maxHeaderFields;
  ASSERT_EQ(HeadOf(maxFields, maxBytes).size(), maxBytes);
  EXPECT_EQ(StatusForHead(port, HeadOf(maxFields, maxBytes)), 200);
  EXPECT_EQ(StatusForHead(port, HeadOf(maxFields, maxBytes + 1)), 431);
  EXPECT_EQ(StatusForHead(port, HeadOf(maxFields + 1, 4096)), 431);
  EXPECT_EQ(StatusForHead(port, "GET /" + std::string(maxBytes, 'p') + " HTTP/1.1\r\n\r\n"), 414);
}

size_t CountOf(std::string_view text, std::string_view part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// What the service sends on connection until count vymera.get answers are whole, waiting up to 2 s
// for each piece.
std::string ReceiveAnswers(RawConnection& connection, size_t count) {
  std::string answers;
  while (CountOf(answers, "</vymera_get>") < count && connection.Readable(std::chrono::seconds(2))) {
    char chunk[4096];
    ssize_t got = recv(connection.fd(), chunk, sizeof chunk, 0);
    if (got <= 0) break;
    answers.append(chunk, static_cast<size_t>(got));
  }
  return answers;
}

TEST_F(HostileHeads, ARefusedBodyEndsTheConnectionAndGoodOnesKeepIt) {
  RawConnection refused(server_->port());
  refused.Send("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 1000000\r\n\r\nmethod=user.id.get");
  // Closed right after the answer: the unread body must not be taken for the next request.
  auto start = Clock::now();
  std::string answer = refused.ReceiveUntilClosed(std::chrono::seconds(3));
  EXPECT_EQ(StatusOf(answer), 413);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));

  std::string request = "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 17\r\n\r\nmethod=vymera.get";
  RawConnection kept(server_->port());
  kept.Send(request + request + request);
  std::string answers = ReceiveAnswers(kept, 3);
  EXPECT_EQ(CountOf(answers, "HTTP/1.1 200"), 3u);
}

// Requests one after another on one connection, each sent once the last was answered, as a client
// that keeps its connection does; then silence, which the service ends at its keep-alive time.
TEST_F(SlowClients, AKeptConnectionIsWatchedAgainAfterEveryAnswerAndClosedOnceSilent) {
  RawConnection kept(server_->port());
  const std::string request = "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 17\r\n\r\nmethod=vymera.get";
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(kept.Send(request));
    ASSERT_EQ(StatusOf(ReceiveAnswers(kept, 1)), 200);
  }
  auto start = Clock::now();
  EXPECT_EQ(kept.ReceiveUntilClosed(std::chrono::seconds(8)), "");
  double silent = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GT(silent, 4.0);
  EXPECT_LT(silent, 7.0);
}

std::vector<std::string> SlowHead(int lines) {
  std::vector<std::string> pieces = {"POST / HTTP/1.1\r\nHost: 127.0.0.1\r\n"};
  for (int i = 0; i < lines; ++i) pieces.push_back("X-Slow: " + std::to_string(i) + "\r\n");
  return pieces;
}

std::vector<std::string> SlowBody(const std::string& body) {
  std::vector<std::string> pieces = {"POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " +
                                     std::to_string(body.size()) + "\r\n\r\n"};
  for (char c : body) pieces.emplace_back(1, c);
  return pieces;
}

TEST_F(SlowClients, AreDroppedAtTheDeadlineWhileOthersAreAnswered) {
  threads_ = 3;
  limits_.deadline = std::chrono::milliseconds(1000);
  RestartService();
  int port = server_->port();
  // Each would drip for five seconds and never finish, or say nothing at all; together they hold
  // every request thread.
  Drip head;
  Drip body;
  std::thread slowHead([&] { head = SendDrip(port, SlowHead(20), std::chrono::milliseconds(250)); });
  std::thread slowBody([&] {
    body = SendDrip(port, SlowBody("method=vymera.get" + std::string(20, ' ')), std::chrono::milliseconds(250));
  });
  RawConnection silent(port);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  auto start = Clock::now();
  auto answer = PostUtf8("method=vymera.get");
  double waited = std::chrono::duration<double>(Clock::now() - start).count();
  slowHead.join();
  slowBody.join();

  EXPECT_EQ(answer->status, 200);
  EXPECT_EQ(answer->Root(), "vymera_get");
  EXPECT_LT(waited, 3.0);
  for (const Drip* drip : {&head, &body}) {
    EXPECT_FALSE(drip->allSent);
    EXPECT_GE(drip->answeredAfter, 0.9);
    EXPECT_LT(drip->answeredAfter, 3.0);
  }
  EXPECT_TRUE(silent.Readable(std::chrono::seconds(1)));
  EXPECT_EQ(silent.ReceiveUntilClosed(std::chrono::seconds(1)), "");
  EXPECT_EQ(StatusOf(head.answer), 408);
  EXPECT_EQ(StatusOf(body.answer), 400);
  EXPECT_EQ(body.answer.find("<vymera_get>"), std::string::npos);
}

TEST_F(SlowClients, ARequestInPiecesWithinTheDeadlineIsServed) {
  limits_.deadline = std::chrono::milliseconds(1000);
  RestartService();
  std::vector<std::string> pieces = {"POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n",
                                     "Content-Length: 17\r\n\r\n",
                                     "method=", "vymera.get"};
  Drip drip = SendDrip(server_->port(), pieces, std::chrono::milliseconds(150));
  EXPECT_TRUE(drip.allSent);
  EXPECT_EQ(StatusOf(drip.answer), 200);
  EXPECT_NE(drip.answer.find("<vymera_get>"), std::string::npos);
}

TEST_F(SlowClients, IdleAndHalfSentConnectionsTakeNoRequestThread) {
  threads_ = 2;
  RestartService();
  int port = server_->port();
  // Far more connections than request threads: silent ones, and ones with half a head or half a
  // body sent. None may keep a whole request from being answered, on a new connection or on one
  // kept alive.
  std::vector<std::unique_ptr<RawConnection>> held;
  for (int i = 0; i < 300; ++i) held.push_back(std::make_unique<RawConnection>(port));
  for (int i = 0; i < 20; ++i) {
    held.push_back(std::make_unique<RawConnection>(port));
    held.back()->Send(i % 2 ? "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                            : "POST / HTTP/1.1\r\nContent-Length: 17\r\n\r\nmethod=");
  }
  for (int i = 0; i < 5; ++i) {
    auto answer = PostUtf8("method=vymera.get");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->Root(), "vymera_get");
  }
  RawConnection fresh(port);
  fresh.Send("POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\nContent-Length: 17\r\n\r\nmethod=vymera.get");
  std::string answer = fresh.ReceiveUntilClosed(std::chrono::seconds(2));
  EXPECT_EQ(StatusOf(answer), 200);
  EXPECT_NE(answer.find("<vymera_get>"), std::string::npos);
}

}  // namespace
}  // namespace service_test
