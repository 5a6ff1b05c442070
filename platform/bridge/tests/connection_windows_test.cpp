// Where the Windows programs find the simulator: its port on 127.0.0.1, and nowhere else.
#include <gtest/gtest.h>

#include "platform/bridge/connection.h"
#include "platform/bridge/tests/stream_pair.h"

namespace b = platform::bridge;

namespace {

int64_t MsSince(b::Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(b::Clock::now() - start).count();
}

}  // namespace

TEST(BridgeConnectionWindows, TheSimulatorIsAtItsLoopbackPort) {
  {
    bridge_test::ScopedVariable unset(b::kTcpPortVariable, nullptr);
    EXPECT_EQ(b::DefaultSocketPath(), "127.0.0.1:27183");
  }
  bridge_test::ScopedVariable set(b::kTcpPortVariable, "31002");
  EXPECT_EQ(b::DefaultSocketPath(), "127.0.0.1:31002");
}

TEST(BridgeConnectionWindows, ConnectsOnlyToALoopbackPortWhereSomebodyListens) {
  bridge_test::TestListener listener;
  auto connection = b::Connection::Connect(listener.endpoint());
  ASSERT_NE(connection, nullptr);
  bridge_test::StreamSocket served = listener.Accept(2000);
  ASSERT_TRUE(served);
  b::Connection far(std::move(served));
  b::Frame got;
  ASSERT_EQ(connection->Send(b::Frame{7, {1, 2}}, b::After(1000)), b::IoStatus::Ok);
  ASSERT_EQ(far.Receive(got, b::After(1000)), b::IoStatus::Ok);
  EXPECT_EQ(got, (b::Frame{7, {1, 2}}));

  // Nobody listens any more: found out within the bound, not after the system's retries.
  std::string endpoint = listener.endpoint();
  listener.Close();
  auto start = b::Clock::now();
  EXPECT_EQ(b::Connection::Connect(endpoint), nullptr);
  EXPECT_LT(MsSince(start), 1000);
  // Paths and other hosts are never tried.
  for (const char* refused : {"", "/tmp/vymera-sim.sock", "10.255.255.1:27183", "localhost:27183"}) {
    EXPECT_EQ(b::Connection::Connect(refused), nullptr) << refused;
  }
}
