#pragma once
// One stream connection of the device bridge over a Unix socket: frames sent and received within
// deadlines, and a shutdown that any thread may call to end a wait in progress. Where the socket
// lives is decided here for both ends.

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "platform/bridge/frame.h"
#include "platform/unique_fd.h"

namespace platform::bridge {

using Clock = std::chrono::steady_clock;
// When a wait must end; nothing means it may wait without limit.
using Deadline = std::optional<Clock::time_point>;
// ms from now; a negative ms means no limit.
Deadline After(int ms);

// $XDG_RUNTIME_DIR/vymera-sim.sock, or vymera-sim.sock in a folder of this user's own under /tmp.
std::string DefaultSocketPath();
// The folder a socket path is in.
std::string FolderOf(const std::string& socketPath);
// True when folder is this user's and nobody else may write to it, so the socket in it cannot be
// swapped for another's. With create, a missing folder is made, open to this user only.
bool PrivateFolder(const std::string& folder, bool create);

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

  // Connects to the socket at path; null when nobody listens there (at once, without waiting), or
  // when the socket's folder is not private.
  static std::unique_ptr<Connection> Connect(const std::string& path);
  // Takes a connected stream socket; it is made non-blocking.
  explicit Connection(UniqueFd fd);

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
  // Waits for events on the socket until the deadline; false when it passed.
  bool Wait(short events, Deadline deadline);

  UniqueFd fd_;
  FrameDecoder decoder_;
  // Nothing more is read once the stream is refused or out of step; nothing more is sent once a
  // frame went out cut short.
  bool receiveBroken_ = false;
  bool sendBroken_ = false;
};

}  // namespace platform::bridge
