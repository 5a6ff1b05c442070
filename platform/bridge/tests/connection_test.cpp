// The bridge's connections and sessions, over the streams each system has: Unix sockets on Linux,
// loopback TCP on Windows.
#include "platform/bridge/connection.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/bridge/messages.h"
#include "platform/bridge/session.h"
#include "platform/bridge/tests/stream_pair.h"

namespace b = platform::bridge;
using bridge_test::StreamSocket;
using bridge_test::TestListener;

namespace {

std::pair<b::Connection, StreamSocket> Pair() {
  auto [mine, theirs] = bridge_test::StreamPair();
  EXPECT_TRUE(mine && theirs);
  return {b::Connection(std::move(mine)), std::move(theirs)};
}

void SendRaw(StreamSocket& socket, const std::vector<uint8_t>& bytes) {
  ASSERT_TRUE(bridge_test::SendAll(socket, bytes));
}

int64_t MsSince(b::Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(b::Clock::now() - start).count();
}

// Accepts one connection, answers that many requests on it with one interface, and closes it.
std::thread ServeOne(TestListener& listener, int answers) {
  return std::thread([&listener, answers] {
    b::Connection c{listener.Accept(5000)};
    b::Frame request;
    for (int i = 0; i < answers && c.Receive(request, b::After(5000)) == b::IoStatus::Ok; ++i) {
      c.Send(b::ToFrame(b::InterfaceList{{{"sim:scale", 1, 2, 3, "S"}}}), b::After(1000));
    }
  });
}

}  // namespace

TEST(BridgeConnection, ExchangesFramesAndLeavesAFollowingFrameForTheNextReceive) {
  auto [c, peer] = Pair();
  b::Frame one{1, {1, 2, 3}}, two{2, {}};
  std::vector<uint8_t> both = b::EncodeFrame(one);
  std::vector<uint8_t> second = b::EncodeFrame(two);
  both.insert(both.end(), second.begin(), second.end());
  SendRaw(peer, both);
  b::Frame got;
  ASSERT_EQ(c.Receive(got, b::After(1000)), b::IoStatus::Ok);
  EXPECT_EQ(got, one);
  ASSERT_EQ(c.Receive(got, b::After(1000)), b::IoStatus::Ok);
  EXPECT_EQ(got, two);

  ASSERT_EQ(c.Send(one, b::After(1000)), b::IoStatus::Ok);
  b::Connection other(std::move(peer));
  ASSERT_EQ(other.Receive(got, b::After(1000)), b::IoStatus::Ok);
  EXPECT_EQ(got, one);
}

TEST(BridgeConnection, TimesOutClosesAndRefusesAsThePeerBehaves) {
  {
    auto [c, peer] = Pair();
    b::Frame got;
    auto start = b::Clock::now();
    EXPECT_EQ(c.Receive(got, b::After(50)), b::IoStatus::TimedOut);
    EXPECT_GE(MsSince(start), 50);
    EXPECT_FALSE(c.PeerGone());
    peer = StreamSocket();
    EXPECT_TRUE(c.PeerGone());
    EXPECT_EQ(c.Receive(got, b::After(1000)), b::IoStatus::Closed);
    EXPECT_EQ(c.Send(got, b::After(1000)), b::IoStatus::Closed);
  }
  {
    auto [c, peer] = Pair();
    SendRaw(peer, {'V', 'S', 9, 1, 0, 0, 0, 0});
    b::Frame got;
    EXPECT_EQ(c.Receive(got, b::After(1000)), b::IoStatus::Refused);
    EXPECT_EQ(c.Receive(got, b::After(1000)), b::IoStatus::Closed);  // nothing more is read from it
  }
  {
    // Half a frame and then silence: refused after the gap allowed, even when the caller would wait
    // without limit.
    auto [c, peer] = Pair();
    SendRaw(peer, {'V', 'S', 1, 1, 10, 0, 0, 0, 1, 2});
    b::Frame got;
    auto start = b::Clock::now();
    EXPECT_EQ(c.Receive(got, std::nullopt), b::IoStatus::Refused);
    EXPECT_GE(MsSince(start), b::Connection::kFrameGapMs);
    EXPECT_LT(MsSince(start), b::Connection::kFrameGapMs + 3000);
  }
}

TEST(BridgeConnection, ShutdownFromAnotherThreadEndsAWaitWithoutLimit) {
  auto [c, peer] = Pair();
  b::IoStatus status = b::IoStatus::Ok;
  std::thread waiter([&] {
    b::Frame got;
    status = c.Receive(got, std::nullopt);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  c.Shutdown();
  waiter.join();
  EXPECT_EQ(status, b::IoStatus::Closed);
}

TEST(BridgeConnection, TakesOnlyALoopbackPortForATcpEndpoint) {
  EXPECT_EQ(b::LoopbackPortOf("127.0.0.1:27183"), 27183);
  EXPECT_EQ(b::LoopbackPortOf("127.0.0.1:1"), 1);
  EXPECT_EQ(b::LoopbackPortOf("127.0.0.1:65535"), 65535);
  for (const char* refused :
       {"127.0.0.1:0", "127.0.0.1:65536", "127.0.0.1:", "127.0.0.1:80x", "127.0.0.1:-5", "127.0.0.1: 80", "10.0.0.1:80",
        "localhost:80", "127.0.0.10:80", "/tmp/vymera-sim.sock", ""}) {
    EXPECT_FALSE(b::LoopbackPortOf(refused)) << refused;
  }
}

TEST(BridgeConnection, TheSimulatorsPortComesFromTheEnvironmentWhenItIsAPort) {
  {
    bridge_test::ScopedVariable unset(b::kTcpPortVariable, nullptr);
    EXPECT_EQ(b::SimulatorTcpPort(), b::kDefaultTcpPort);
  }
  {
    bridge_test::ScopedVariable set(b::kTcpPortVariable, "31001");
    EXPECT_EQ(b::SimulatorTcpPort(), 31001);
  }
  for (const char* wrong : {"0", "70000", "31001 ", "port", ""}) {
    bridge_test::ScopedVariable set(b::kTcpPortVariable, wrong);
    EXPECT_EQ(b::SimulatorTcpPort(), b::kDefaultTcpPort) << wrong;
  }
}

TEST(BridgeSession, FindsAMissingSimulatorAtOnceAndLeavesAStoppedOneAloneAfterOneTimeOut) {
  TestListener listener;
  b::Session session(listener.endpoint(), {300, 1500});
  // Listening, but nobody accepts or answers: a stopped simulator.
  auto start = b::Clock::now();
  EXPECT_FALSE(session.Ask<b::InterfaceList>(b::EnumerateRequest{}));
  EXPECT_GE(MsSince(start), 300);
  EXPECT_LT(MsSince(start), 1500);
  // Left alone now: neither a question nor an open waits.
  start = b::Clock::now();
  EXPECT_FALSE(session.Ask<b::InterfaceList>(b::EnumerateRequest{}));
  b::Frame reply;
  EXPECT_EQ(session.Dedicated(b::ToFrame(b::OpenRequest{"x"}), reply), nullptr);
  EXPECT_LT(MsSince(start), 150);

  // Gone altogether: found out at once.
  listener.Close();
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  start = b::Clock::now();
  EXPECT_FALSE(session.Ask<b::InterfaceList>(b::EnumerateRequest{}));
  EXPECT_LT(MsSince(start), 150);
}

TEST(BridgeSession, AsksARestartedSimulatorOnAFreshConnection) {
  TestListener listener;
  b::Session session(listener.endpoint());
  std::thread first = ServeOne(listener, 1);
  auto list = session.Ask<b::InterfaceList>(b::EnumerateRequest{});
  ASSERT_TRUE(list);
  EXPECT_EQ(list->interfaces.at(0).path, "sim:scale");

  // The simulator ends (its side of the control connection closes) and a new one starts.
  first.join();
  listener.Close();
  ASSERT_TRUE(listener.Listen());
  std::thread second = ServeOne(listener, 2);
  EXPECT_TRUE(session.Ask<b::InterfaceList>(b::EnumerateRequest{}));
  // A reply of the wrong kind is no answer, and the connection is dropped.
  EXPECT_FALSE(session.Ask<b::OpenReply>(b::EnumerateRequest{}));
  second.join();
}
