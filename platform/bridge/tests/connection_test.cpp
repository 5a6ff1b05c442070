#include "platform/bridge/connection.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/bridge/messages.h"
#include "platform/bridge/session.h"
#include "testing/temp_folder.h"

namespace b = platform::bridge;
using platform::UniqueFd;

namespace {

std::pair<b::Connection, UniqueFd> Pair() {
  int fds[2];
  EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
  return {b::Connection(UniqueFd(fds[0])), UniqueFd(fds[1])};
}

void SendRaw(const UniqueFd& fd, const std::vector<uint8_t>& bytes) {
  ASSERT_EQ(send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

int64_t MsSince(b::Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(b::Clock::now() - start).count();
}

// A private folder with a listening socket that a test serves by hand, or leaves unserved.
struct Listener {
  testing_support::TempFolder temp;
  std::string folder = temp.path();
  std::string path = folder + "/vymera-sim.sock";
  UniqueFd fd;

  Listener() { Listen(); }
  ~Listener() { fd.Close(); }
  void Listen() {
    fd = UniqueFd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.data(), path.size());
    unlink(path.c_str());
    ASSERT_EQ(bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(fd.get(), 8), 0);
  }
  // Accepts one connection, answers that many requests on it with one interface, and closes it.
  std::thread ServeOne(int answers) {
    return std::thread([this, answers] {
      b::Connection c{UniqueFd(accept4(fd.get(), nullptr, nullptr, SOCK_CLOEXEC))};
      b::Frame request;
      for (int i = 0; i < answers && c.Receive(request, b::After(5000)) == b::IoStatus::Ok; ++i) {
        c.Send(b::ToFrame(b::InterfaceList{{{"sim:scale", 1, 2, 3, "S"}}}), b::After(1000));
      }
    });
  }
};

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
    peer.Close();
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

TEST(BridgeConnection, ConnectsOnlyToAListeningSocketInAPrivateFolder) {
  Listener listener;
  EXPECT_NE(b::Connection::Connect(listener.path), nullptr);
  EXPECT_EQ(b::Connection::Connect(listener.folder + "/missing.sock"), nullptr);
  EXPECT_EQ(b::Connection::Connect(listener.folder + "/" + std::string(200, 'x')), nullptr);
  EXPECT_EQ(b::Connection::Connect(""), nullptr);
  chmod(listener.folder.c_str(), 0777);
  EXPECT_FALSE(b::PrivateFolder(listener.folder, false));
  EXPECT_EQ(b::Connection::Connect(listener.path), nullptr);
  chmod(listener.folder.c_str(), 0700);
  EXPECT_TRUE(b::PrivateFolder(listener.folder, false));
  EXPECT_FALSE(b::PrivateFolder("/tmp", false));

  std::string made = listener.folder + "/made";
  EXPECT_TRUE(b::PrivateFolder(made, true));
  struct stat st {};
  ASSERT_EQ(stat(made.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(BridgeConnection, TheSocketLivesInTheRuntimeFolderOrInAPrivateOneUnderTmp) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  std::string keep = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
  EXPECT_EQ(b::DefaultSocketPath(), "/run/user/1234/vymera-sim.sock");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(b::DefaultSocketPath(), "/tmp/vymera-" + std::to_string(getuid()) + "/vymera-sim.sock");
  EXPECT_EQ(b::FolderOf(b::DefaultSocketPath()), "/tmp/vymera-" + std::to_string(getuid()));
  if (saved) setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}

TEST(BridgeSession, FindsAMissingSimulatorAtOnceAndLeavesAStoppedOneAloneAfterOneTimeOut) {
  Listener listener;
  b::Session session(listener.path, {300, 1500});
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
  listener.fd.Close();
  unlink(listener.path.c_str());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  start = b::Clock::now();
  EXPECT_FALSE(session.Ask<b::InterfaceList>(b::EnumerateRequest{}));
  EXPECT_LT(MsSince(start), 150);
}

TEST(BridgeSession, AsksARestartedSimulatorOnAFreshConnection) {
  Listener listener;
  b::Session session(listener.path);
  std::thread first = listener.ServeOne(1);
  auto list = session.Ask<b::InterfaceList>(b::EnumerateRequest{});
  ASSERT_TRUE(list);
  EXPECT_EQ(list->interfaces.at(0).path, "sim:scale");

  // The simulator ends (its side of the control connection closes) and a new one starts.
  first.join();
  listener.fd.Close();
  listener.Listen();
  std::thread second = listener.ServeOne(2);
  EXPECT_TRUE(session.Ask<b::InterfaceList>(b::EnumerateRequest{}));
  // A reply of the wrong kind is no answer, and the connection is dropped.
  EXPECT_FALSE(session.Ask<b::OpenReply>(b::EnumerateRequest{}));
  second.join();
}
