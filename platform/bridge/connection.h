#pragma once
// One stream connection of the device bridge: frames sent and received within deadlines, and a
// shutdown that any thread may call to end a wait in progress. Where the simulator listens is decided
// here for both ends.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/bridge/frame.h"
#include "platform/bridge/stream_socket.h"

namespace platform::bridge {

using Clock = std::chrono::steady_clock;
// When a wait must end; nothing means it may wait without limit.
using Deadline = std::optional<Clock::time_point>;
// ms from now; a negative ms means no limit.
Deadline After(int ms);

// Where the programs find the simulator. On Linux its Unix socket: $XDG_RUNTIME_DIR/vymera-sim.sock,
// or vymera-sim.sock in a folder of this user's own under /tmp. On Windows, where the programs may
// run under Wine beside a Linux simulator, its loopback TCP port: "127.0.0.1:PORT", PORT from
// SimulatorTcpPort().
std::string DefaultSocketPath();

// The loopback TCP port the simulator also listens on, for Windows programs.
inline constexpr uint16_t kDefaultTcpPort = 27183;
inline constexpr const char* kTcpPortVariable = "VYMERA_SIM_PORT";
// $VYMERA_SIM_PORT when it is a port number (1 to 65535), else kDefaultTcpPort.
uint16_t SimulatorTcpPort();
// "127.0.0.1:PORT" → PORT; nothing for anything else, another host's address included: the bridge
// never leaves this machine.
std::optional<uint16_t> LoopbackPortOf(const std::string& endpoint);

enum class IoStatus {
  Ok,
  TimedOut,  // the deadline passed
  Closed,    // the peer is gone, or Shutdown was called
  Refused,   // the peer broke the frame rules
};

class Connection {
 public:
  // A part of a frame must be followed by the rest within this time, whatever the deadline.
  static constexpr int kFrameGapMs = 2000;

  // Connects to the simulator at endpoint (DefaultSocketPath's form); null when nobody listens
  // there, found out without waiting, or when the endpoint may not be used (on Linux a socket whose
  // folder is not private).
  static std::unique_ptr<Connection> Connect(const std::string& endpoint);
  explicit Connection(StreamSocket socket);

  IoStatus Send(const Frame& frame, Deadline deadline);
  IoStatus Receive(Frame& frame, Deadline deadline);
  // Send, then Receive the reply, within one deadline.
  IoStatus Exchange(const Frame& request, Frame& reply, Deadline deadline);

  // True when the peer has hung up (or sent something out of turn) while nothing was asked of it.
  bool PeerGone() const;
  // From any thread: a Send or Receive in progress and every later one end with Closed.
  void Shutdown();
  // From any thread: a Receive in progress and every later one end with Closed; what is being sent
  // still goes out.
  void StopReceiving();

 private:
  // Waits until the socket may be written or read, until the deadline; false when it passed.
  bool Wait(bool forWrite, Deadline deadline);

  StreamSocket socket_;
  FrameDecoder decoder_;
  // Nothing more is read once the stream is refused or out of step; nothing more is sent once a
  // frame went out cut short.
  bool receiveBroken_ = false;
  bool sendBroken_ = false;
};

}  // namespace platform::bridge
