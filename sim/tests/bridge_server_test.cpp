// The simulator's end of the bridge: what it refuses, how many it serves, and vymera-sim itself,
// serving and taking commands from a second process.

#include "sim/bridge_server.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/hid/bridge_host.h"
#include "sim/tests/bridge_rig.h"
#include "testing/child_status.h"

using bridge_test::MsSince;
using bridge_test::ServedDesk;
namespace b = platform::bridge;

extern char** environ;

namespace {

// A peer that may break the rules: raw bytes out, frames in.
struct RawPeer {
  platform::UniqueFd raw;
  std::unique_ptr<b::Connection> frames;

  explicit RawPeer(const std::string& path) {
    auto c = b::Connection::Connect(path);
    EXPECT_NE(c, nullptr);
    // The connection is only a way in; a second socket of our own says what the rules forbid.
    raw = platform::UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, path.data(), path.size());
    EXPECT_EQ(connect(raw.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    frames = std::make_unique<b::Connection>(b::StreamSocket(dup(raw.get())));
  }
  void Send(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(send(raw.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  }
  void Send(const b::Frame& frame) { Send(b::EncodeFrame(frame)); }
  // The server's answer: Ok with the frame, or how the stream ended.
  b::IoStatus Answer(b::Frame& frame) { return frames->Receive(frame, b::After(3000)); }
  // True when the server answered with an Error and closed the connection.
  bool Refused() {
    b::Frame reply;
    if (Answer(reply) != b::IoStatus::Ok || !b::FromFrame<b::ErrorReply>(reply)) return false;
    return Answer(reply) == b::IoStatus::Closed;
  }
};

std::vector<uint8_t> Header(uint8_t type, uint32_t length, uint8_t magic = 'V') {
  return {magic, 'S', 1, type, static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
          static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24)};
}

// vymera-sim as a child process with a pipe to its standard input.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    int in[2], out[2];
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), VYMERA_SIM_TOOL);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, VYMERA_SIM_TOOL, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    input_ = platform::UniqueFd(in[1]);
    output_ = platform::UniqueFd(out[0]);
  }
  ~SimProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  void Type(const std::string& line) {
    std::string text = line + "\n";
    ASSERT_EQ(write(input_.get(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  // Ends with code and everything it printed.
  int Wait(std::string& printed) {
    input_.Close();
    int status = testing_support::ChildStatus(pid_);
    pid_ = -1;
    char buffer[4096];
    for (ssize_t n; (n = read(output_.get(), buffer, sizeof buffer)) > 0;) printed.append(buffer, static_cast<size_t>(n));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  platform::UniqueFd input_, output_;
};

int RunTool(std::vector<std::string> args, std::string& printed) { return SimProcess(std::move(args)).Wait(printed); }

bool WaitForSocket(const std::string& path) {
  return testing_support::WaitUntil([&] { return b::Connection::Connect(path) != nullptr; });
}

sockaddr_in Loopback(uint16_t port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

// A stream to 127.0.0.1 at port, as a Windows program opens one; empty when nobody listens.
b::StreamSocket TcpTo(uint16_t port) {
  platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in addr = Loopback(port);
  if (connect(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
  return b::StreamSocket(dup(fd.get()));
}

// Something else listening on a loopback port the system picked.
struct TakenPort {
  platform::UniqueFd fd{::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)};
  uint16_t port = 0;
  TakenPort() {
    sockaddr_in addr = Loopback(0);
    socklen_t length = sizeof addr;
    EXPECT_EQ(bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(listen(fd.get(), 1), 0);
    EXPECT_EQ(getsockname(fd.get(), reinterpret_cast<sockaddr*>(&addr), &length), 0);
    port = ntohs(addr.sin_port);
  }
};

}  // namespace

TEST(BridgeServer, RefusesBrokenFramesAndMessagesAndGoesOnServingTheOthers) {
  ServedDesk served;
  platform::BridgeHidHost good(served.socket);
  ASSERT_EQ(good.Enumerate(0, 0).size(), 2u);

  std::vector<std::vector<uint8_t>> broken = {
      Header(b::type::kEnumerate, 4, 'X'),                                // not a bridge frame
      Header(b::type::kEnumerate, static_cast<uint32_t>(b::kMaxPayload) + 1),  // over the size bound
  };
  for (const auto& bytes : broken) {
    RawPeer peer(served.socket);
    peer.Send(bytes);
    EXPECT_TRUE(peer.Refused());
  }
  std::vector<b::Frame> refused = {
      b::Frame{0x55, {}},                                               // no such message
      b::Frame{b::type::kEnumerate, {1, 2, 3, 4, 5}},                   // a byte to spare
      b::ToFrame(b::WriteRequest{{0, 7}, 500}),                         // nothing is open here
      b::ToFrame(b::ReadRequest{65, 80}),
      b::Frame{b::type::kRead, {0, 0, 0, 0, 80, 0, 0, 0}},              // reads nothing
      b::Frame{b::type::kTrackerAttached, {1}},
      b::Frame{b::type::kCommand, {0xFF, 0xFF, 0, 0}},                  // a text longer than its frame
  };
  for (const auto& frame : refused) {
    RawPeer peer(served.socket);
    peer.Send(frame);
    EXPECT_TRUE(peer.Refused()) << int(frame.type);
  }
  {
    RawPeer peer(served.socket);
    peer.Send(b::ToFrame(b::OpenRequest{"sim:pedometer"}));
    b::Frame reply;
    ASSERT_EQ(peer.Answer(reply), b::IoStatus::Ok);
    ASSERT_TRUE(b::FromFrame<b::OpenReply>(reply)->opened);
    peer.Send(b::ToFrame(b::OpenRequest{"sim:scale:if3"}));  // one interface per connection
    EXPECT_TRUE(peer.Refused());
  }
  EXPECT_EQ(good.Enumerate(0, 0).size(), 2u);
}

TEST(BridgeServer, DropsAPeerThatStopsHalfWayThroughAFrame) {
  ServedDesk served;
  RawPeer peer(served.socket);
  peer.Send({'V', 'S', 1, b::type::kEnumerate, 4, 0, 0, 0, 0x15});
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(peer.Refused());
  EXPECT_GE(MsSince(start), b::Connection::kFrameGapMs - 100);
}

TEST(BridgeServer, ServesABoundedNumberOfConnectionsAtOnce) {
  ServedDesk served;
  std::vector<std::unique_ptr<b::Connection>> open;
  for (size_t i = 0; i < sim::BridgeServer::kMaxConnections; ++i) {
    auto c = b::Connection::Connect(served.socket);
    ASSERT_NE(c, nullptr);
    b::Frame reply;
    ASSERT_EQ(c->Exchange(b::ToFrame(b::TrackerAttachedRequest{}), reply, b::After(2000)), b::IoStatus::Ok) << i;
    open.push_back(std::move(c));
  }
  EXPECT_EQ(served.server.Connections(), sim::BridgeServer::kMaxConnections);
  auto extra = b::Connection::Connect(served.socket);
  ASSERT_NE(extra, nullptr);
  b::Frame reply;
  EXPECT_EQ(extra->Exchange(b::ToFrame(b::TrackerAttachedRequest{}), reply, b::After(2000)), b::IoStatus::Closed);

  open.pop_back();
  for (int i = 0; i < 100 && served.server.Connections() == sim::BridgeServer::kMaxConnections; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  auto again = b::Connection::Connect(served.socket);
  EXPECT_EQ(again->Exchange(b::ToFrame(b::TrackerAttachedRequest{}), reply, b::After(2000)), b::IoStatus::Ok);
}

TEST(BridgeServer, ServesOneSocketOnceReplacesAStaleOneAndRemovesItsOwn) {
  ServedDesk served;
  sim::SimDesk other;
  sim::BridgeServer second(other.Host(), other.Tracker(), nullptr);
  std::string error;
  EXPECT_EQ(second.Start(served.socket, error), sim::BridgeServer::Started::InUse);
  EXPECT_NE(error.find("already"), std::string::npos);

  served.server.Stop();
  struct stat st {};
  EXPECT_NE(stat(served.socket.c_str(), &st), 0);

  // A socket file nobody listens on any more, as a killed simulator leaves it.
  platform::UniqueFd stale(::socket(AF_UNIX, SOCK_STREAM, 0));
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::memcpy(addr.sun_path, served.socket.data(), served.socket.size());
  ASSERT_EQ(bind(stale.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  stale.Close();
  EXPECT_EQ(second.Start(served.socket, error), sim::BridgeServer::Started::Ok) << error;
  second.Stop();

  std::string file = served.folder.path() + "/notes.txt";
  FILE* notes = std::fopen(file.c_str(), "w");
  ASSERT_NE(notes, nullptr);
  std::fclose(notes);
  EXPECT_EQ(second.Start(file, error), sim::BridgeServer::Started::Failed);
  EXPECT_EQ(stat(file.c_str(), &st), 0);  // a file that is not a socket is never removed

  bridge_test::TempFolder open;
  chmod(open.path().c_str(), 0777);
  EXPECT_EQ(second.Start(open.path() + "/vymera-sim.sock", error), sim::BridgeServer::Started::Failed);
}

TEST(BridgeServer, AlsoServesALoopbackPortForWindowsProgramsAndGivesItUpWhenItStops) {
  bridge_test::TempFolder folder;
  sim::SimDesk desk;
  sim::BridgeServer server(desk.Host(), desk.Tracker(), nullptr);
  std::string error;
  ASSERT_EQ(server.Start(folder.File("sim.sock"), error, 0), sim::BridgeServer::Started::Ok) << error;
  uint16_t port = server.TcpPort();
  ASSERT_NE(port, 0);
  b::Connection tcp(TcpTo(port));
  b::Frame reply;
  ASSERT_EQ(tcp.Exchange(b::ToFrame(b::EnumerateRequest{}), reply, b::After(2000)), b::IoStatus::Ok);
  auto list = b::FromFrame<b::InterfaceList>(reply);
  ASSERT_TRUE(list);
  EXPECT_EQ(list->interfaces.size(), 2u);

  // The port is another's now: the second simulator listens nowhere, its socket included.
  sim::SimDesk other;
  sim::BridgeServer second(other.Host(), other.Tracker(), nullptr);
  EXPECT_EQ(second.Start(folder.File("second.sock"), error, port), sim::BridgeServer::Started::PortInUse);
  EXPECT_NE(error.find("127.0.0.1 port " + std::to_string(port)), std::string::npos) << error;
  EXPECT_EQ(b::Connection::Connect(folder.File("second.sock")), nullptr);

  server.Stop();
  EXPECT_EQ(server.TcpPort(), 0);
  EXPECT_FALSE(TcpTo(port));
}

TEST(VymeraSim, LeavesOutATakenPortWithAWarningUnlessTheOptionAskedForIt) {
  TakenPort taken;
  bridge_test::TempFolder folder;
  std::string socket = folder.path() + "/sim.sock";
  std::string printed;
  {
    // The port both sides read from the environment: the simulator still serves the Linux programs.
    std::string port = std::to_string(taken.port);
    setenv(b::kTcpPortVariable, port.c_str(), 1);
    SimProcess served({"--socket", socket});
    unsetenv(b::kTcpPortVariable);
    ASSERT_TRUE(WaitForSocket(socket));
    EXPECT_EQ(RunTool({"--socket", socket, "quit"}, printed), 0);
    printed.clear();
    EXPECT_EQ(served.Wait(printed), 0);
    EXPECT_NE(printed.find("Windows programs will not find this simulator"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("and on 127.0.0.1"), std::string::npos) << printed;
  }
  printed.clear();
  EXPECT_EQ(RunTool({"--socket", socket, "--tcp-port", std::to_string(taken.port)}, printed), 1);
  EXPECT_NE(printed.find("cannot listen on 127.0.0.1 port"), std::string::npos) << printed;
  printed.clear();
  EXPECT_EQ(RunTool({"--socket", socket, "--tcp-port", "65536"}, printed), 2);
  EXPECT_NE(printed.find("bad value for --tcp-port"), std::string::npos) << printed;

  SimProcess picked({"--socket", socket, "--tcp-port", "0"});
  ASSERT_TRUE(WaitForSocket(socket));
  EXPECT_EQ(RunTool({"--socket", socket, "quit"}, printed), 0);
  printed.clear();
  EXPECT_EQ(picked.Wait(printed), 0);
  EXPECT_NE(printed.find(" and on 127.0.0.1:"), std::string::npos) << printed;
}

TEST(VymeraSim, ServesTakesCommandsFromItsInputAndFromASecondProcessAndEndsOnASignal) {
  bridge_test::TempFolder folder;
  std::string socket = folder.path() + "/sim.sock";
  SimProcess served({"--socket", socket, "--tcp-port", "off", "--scale-serial", "ABC123", "--pedometer-id", "77"});
  ASSERT_TRUE(WaitForSocket(socket));

  platform::BridgeHidHost host(socket);
  auto scales = host.Enumerate(0x1915, 0x003B);
  ASSERT_EQ(scales.size(), 1u);
  EXPECT_EQ(scales[0].serial, "ABC123");
  auto scale = host.Open(scales[0].path);
  ASSERT_NE(scale, nullptr);

  std::vector<uint8_t> frame(64);
  served.Type("weigh 68.4");
  ASSERT_EQ(scale->Read(frame, 3000).bytes, 33u);
  EXPECT_EQ((frame[7] << 8 | frame[8]), 684);

  std::string printed;
  EXPECT_EQ(RunTool({"--socket", socket, "weigh", "72.5"}, printed), 0);
  EXPECT_EQ(printed, "the scale sent 72.5 kg\n");
  ASSERT_EQ(scale->Read(frame, 3000).bytes, 33u);
  EXPECT_EQ((frame[7] << 8 | frame[8]), 725);

  printed.clear();
  EXPECT_EQ(RunTool({"--socket", socket, "weigh", "72,5"}, printed), 1);
  EXPECT_NE(printed.find("usage: weigh KG"), std::string::npos);
  printed.clear();
  EXPECT_EQ(RunTool({"--socket", socket, "status"}, printed), 0);
  EXPECT_NE(printed.find("id 77 (bound as A10000000077)"), std::string::npos) << printed;
  printed.clear();
  EXPECT_EQ(RunTool({"--socket", socket, "unplug", "scale"}, printed), 0);
  EXPECT_TRUE(host.Enumerate(0x1915, 0x003B).empty());

  kill(served.Pid(), SIGTERM);
  printed.clear();
  EXPECT_EQ(served.Wait(printed), 0);
  EXPECT_NE(printed.find("the scale sent 68.4 kg"), std::string::npos) << printed;
  struct stat st {};
  EXPECT_NE(stat(socket.c_str(), &st), 0);
  EXPECT_TRUE(host.Enumerate(0, 0).empty());

  printed.clear();
  EXPECT_EQ(RunTool({"--socket", socket, "status"}, printed), 1);
  EXPECT_NE(printed.find("no simulator is running"), std::string::npos);
}

TEST(VymeraSim, QuitEndsItAndASecondOneRefusesATakenSocket) {
  bridge_test::TempFolder folder;
  std::string socket = folder.path() + "/sim.sock";
  SimProcess first({"--socket", socket, "--tcp-port", "off"});
  ASSERT_TRUE(WaitForSocket(socket));
  std::string printed;
  EXPECT_EQ(RunTool({"--socket", socket, "--tcp-port", "off"}, printed), 1);
  EXPECT_NE(printed.find("another vymera-sim already serves"), std::string::npos) << printed;
  printed.clear();
  EXPECT_EQ(RunTool({"--socket", socket, "quit"}, printed), 0);
  printed.clear();
  EXPECT_EQ(first.Wait(printed), 0);
  printed.clear();
  EXPECT_EQ(RunTool({"--help"}, printed), 0);
  EXPECT_NE(printed.find("tracker-day DATE STEPS"), std::string::npos);
  EXPECT_NE(printed.find("unplug scale|pedometer|tracker|all"), std::string::npos);
}
