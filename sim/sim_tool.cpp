// vymera-sim: a body scale, a pedometer and a K700 tracker for a desk without devices. Serving, it
// puts them on a Unix socket where a Vymera built with the device bridge finds them beside the
// system's devices (and on a loopback TCP port for the Windows programs, under Wine, which has no Unix
// sockets), and takes commands from its standard input; given a command, it hands that to
// the simulator already running and prints the answer.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/bridge/connection.h"
#include "platform/bridge/messages.h"
#include "sim/bridge_server.h"
#include "sim/sim_commands.h"
#include "sim/sim_desk.h"

namespace {

namespace bridge = platform::bridge;

constexpr int kCommandAnswerMs = 3000;

struct Options {
  std::string socket = bridge::DefaultSocketPath();
  // Nothing: no TCP listener. A port from $VYMERA_SIM_PORT or the default that something else has
  // is given up with a warning; one asked for with --tcp-port is not.
  std::optional<uint16_t> tcpPort = bridge::SimulatorTcpPort();
  bool tcpPortAsked = false;
  sim::DeskIds ids;
  std::vector<std::string> command;
  bool help = false;
  std::string error;
};

void PrintHelp() {
  std::printf(
      "vymera-sim: a simulated body scale, pedometer and K700 tracker for Vymera.\n"
      "\n"
      "  vymera-sim [--socket PATH] [--tcp-port PORT|off] [--scale-serial TEXT] [--scale-id N]\n"
      "             [--pedometer-id N] [--tracker-id N]\n"
      "      serves the three devices, all plugged in, until Ctrl+C or \"quit\", and takes the commands\n"
      "      below from standard input meanwhile. A Vymera built with the device bridge lists them beside\n"
      "      the system's devices.\n"
      "  vymera-sim [--socket PATH] COMMAND [ARGUMENTS]\n"
      "      gives one command to the simulator that is running and prints its answer; exits 1 when it\n"
      "      refuses the command or no simulator runs.\n"
      "\n"
      "  PATH defaults to %s\n"
      "  ($XDG_RUNTIME_DIR/vymera-sim.sock, or a folder of this user's under /tmp without a runtime folder).\n"
      "  Windows programs (under Wine) find the devices on 127.0.0.1 at PORT: $VYMERA_SIM_PORT, else %u;\n"
      "  both sides read that variable. 0 lets the system pick a port; off serves none. A port taken by\n"
      "  something else is left out with a warning, unless --tcp-port asked for it.\n"
      "  The defaults: --scale-serial 5A0031C7 (bound as W15A0031C7), --scale-id 12648430,\n"
      "  --pedometer-id 20240601 (bound as A10020240601), --tracker-id 8800123456789.\n"
      "\n"
      "Commands:\n%s",
      bridge::DefaultSocketPath().c_str(), unsigned{bridge::kDefaultTcpPort}, sim::DeskCommands::Summary());
}

template <class T>
bool Number(const std::string& text, T& out) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

Options ParseOptions(int argc, char** argv) {
  Options o;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      o.help = true;
      continue;
    }
    if (a.rfind("--", 0) != 0) break;
    if (i + 1 >= argc) {
      o.error = a + " needs a value";
      return o;
    }
    std::string v = argv[++i];
    bool ok = true;
    if (a == "--socket") {
      o.socket = v;
    } else if (a == "--tcp-port") {
      o.tcpPortAsked = true;
      uint16_t port = 0;
      ok = v == "off" || Number(v, port);
      o.tcpPort = v == "off" ? std::nullopt : std::optional<uint16_t>(port);
    } else if (a == "--scale-serial") {
      ok = !v.empty() && v.size() <= 64;
      o.ids.scaleSerial = v;
    } else if (a == "--scale-id") {
      ok = Number(v, o.ids.scaleDeviceId);
    } else if (a == "--pedometer-id") {
      ok = Number(v, o.ids.pedometerId);
    } else if (a == "--tracker-id") {
      ok = Number(v, o.ids.trackerId) && o.ids.trackerId > 0;
    } else {
      o.error = "unknown option " + a;
      return o;
    }
    if (!ok) {
      o.error = "bad value for " + a + ": " + v;
      return o;
    }
  }
  for (; i < argc; ++i) o.command.push_back(argv[i]);
  return o;
}

int SendCommand(const Options& o) {
  std::string line;
  for (const std::string& word : o.command) line += (line.empty() ? "" : " ") + word;
  if (line.size() > bridge::kMaxCommandBytes) {
    std::fprintf(stderr, "vymera-sim: the command is too long\n");
    return 1;
  }
  auto connection = bridge::Connection::Connect(o.socket);
  if (!connection) {
    std::fprintf(stderr, "vymera-sim: no simulator is running at %s (start one with: vymera-sim)\n", o.socket.c_str());
    return 1;
  }
  bridge::Frame reply;
  bridge::IoStatus io = connection->Exchange(bridge::ToFrame(bridge::CommandRequest{line}), reply,
                                             bridge::After(kCommandAnswerMs));
  if (io != bridge::IoStatus::Ok) {
    std::fprintf(stderr, "vymera-sim: the simulator at %s did not answer\n", o.socket.c_str());
    return 1;
  }
  if (auto answer = bridge::FromFrame<bridge::CommandReply>(reply)) {
    std::fputs(answer->text.c_str(), answer->ok ? stdout : stderr);
    return answer->ok ? 0 : 1;
  }
  auto error = bridge::FromFrame<bridge::ErrorReply>(reply);
  std::fprintf(stderr, "vymera-sim: the simulator refused: %s\n", error ? error->text.c_str() : "(no reason)");
  return 1;
}

// Standard input, a line at a time, with a bound on a line.
class LineReader {
 public:
  // False at the end of input.
  template <class F>
  bool ReadAvailable(F onLine) {
    char buffer[4096];
    ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) return n < 0 && errno == EINTR;
    for (ssize_t i = 0; i < n; ++i) {
      if (buffer[i] == '\n') {
        if (tooLong_) std::fprintf(stderr, "vymera-sim: that line was too long\n");
        else onLine(line_);
        line_.clear();
        tooLong_ = false;
      } else if (line_.size() < bridge::kMaxCommandBytes) {
        line_ += buffer[i];
      } else {
        tooLong_ = true;
      }
    }
    return true;
  }

 private:
  std::string line_;
  bool tooLong_ = false;
};

int Serve(const Options& o) {
  // Signals are taken as events of the main loop, so every thread but this one ignores them.
  sigset_t signals;
  sigemptyset(&signals);
  for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, s);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);
  platform::UniqueFd signalFd(signalfd(-1, &signals, SFD_CLOEXEC));
  int quitPipe[2];
  if (!signalFd || pipe2(quitPipe, O_CLOEXEC) != 0) {
    std::fprintf(stderr, "vymera-sim: %s\n", std::strerror(errno));
    return 1;
  }
  platform::UniqueFd quitRead(quitPipe[0]), quitWrite(quitPipe[1]);

  sim::SimDesk desk(o.ids);
  sim::DeskCommands commands(desk);
  std::mutex commandMutex;
  auto run = [&](const std::string& line) {
    std::lock_guard lock(commandMutex);
    sim::CommandResult r = commands.Run(line);
    if (r.quit && write(quitWrite.get(), "q", 1) != 1) std::fprintf(stderr, "vymera-sim: cannot end: %s\n", std::strerror(errno));
    return r;
  };
  sim::BridgeServer server(desk.Host(), desk.Tracker(), [&](const std::string& line) {
    sim::CommandResult r = run(line);
    return bridge::CommandReply{r.ok, r.text};
  });
  std::string error;
  sim::BridgeServer::Started started = server.Start(o.socket, error, o.tcpPort);
  if (started == sim::BridgeServer::Started::PortInUse && !o.tcpPortAsked) {
    std::fprintf(stderr, "vymera-sim: %s; Windows programs will not find this simulator (--tcp-port picks another)\n",
                 error.c_str());
    started = server.Start(o.socket, error);
  }
  if (started != sim::BridgeServer::Started::Ok) {
    std::fprintf(stderr, "vymera-sim: %s\n", error.c_str());
    return 1;
  }
  std::string tcp = server.TcpPort() ? " and on 127.0.0.1:" + std::to_string(server.TcpPort()) : "";
  std::printf("vymera-sim serves a scale (serial %s), a pedometer (id %u) and a tracker (id %" PRId64
              ") at %s%s\n"
              "Commands here or from another terminal (vymera-sim weigh 68.4); \"help\" lists them, Ctrl+C ends.\n",
              o.ids.scaleSerial.c_str(), o.ids.pedometerId, o.ids.trackerId, o.socket.c_str(), tcp.c_str());
  std::fflush(stdout);

  LineReader input;
  bool inputOpen = true;
  for (;;) {
    pollfd p[3] = {{signalFd.get(), POLLIN, 0}, {quitRead.get(), POLLIN, 0}, {inputOpen ? STDIN_FILENO : -1, POLLIN, 0}};
    if (poll(p, 3, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (p[0].revents || p[1].revents) break;
    if (p[2].revents) {
      // At the end of standard input the devices stay served until a signal or "quit".
      inputOpen = input.ReadAvailable([&](const std::string& line) {
        sim::CommandResult r = run(line);
        std::fputs(r.text.c_str(), r.ok ? stdout : stderr);
        std::fflush(r.ok ? stdout : stderr);
      });
      if (!inputOpen && isatty(STDIN_FILENO)) std::printf("vymera-sim: no more input; serving until Ctrl+C\n");
    }
  }
  server.Stop();
  std::printf("vymera-sim: ended\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o = ParseOptions(argc, argv);
  if (!o.error.empty()) {
    std::fprintf(stderr, "vymera-sim: %s (see vymera-sim --help)\n", o.error.c_str());
    return 2;
  }
  if (o.help) {
    PrintHelp();
    return 0;
  }
  if (!o.command.empty()) return SendCommand(o);
  return Serve(o);
}
