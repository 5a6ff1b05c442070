#pragma once
// One connected stream socket of the device bridge, owned and non-blocking: the calls the frame
// layer needs, the same on every system. On Linux a file descriptor (a Unix socket, or a loopback
// TCP connection the simulator accepted); on Windows a Winsock socket to the simulator's loopback
// TCP port. Made in stream_socket_<platform>.cpp, which also knows where the simulator listens.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace platform::bridge {

class StreamSocket {
 public:
  // The system's own value for a socket: a file descriptor, or a Winsock SOCKET.
  using Native = std::intptr_t;
  static constexpr Native kInvalid = -1;

  enum class Io {
    Done,    // bytes moved
    Again,   // nothing can move now; Wait first
    Closed,  // the stream ended, was shut down, or failed
  };
  struct Result {
    Io io = Io::Closed;
    size_t bytes = 0;
  };

  StreamSocket() = default;
  // Takes a connected stream socket and makes it non-blocking.
  explicit StreamSocket(Native native);
  ~StreamSocket();
  StreamSocket(StreamSocket&& other) noexcept;
  StreamSocket& operator=(StreamSocket&& other) noexcept;
  StreamSocket(const StreamSocket&) = delete;
  StreamSocket& operator=(const StreamSocket&) = delete;

  explicit operator bool() const { return native_ != kInvalid; }
  Native native() const { return native_; }

  Result Send(std::span<const uint8_t> bytes);
  // What has arrived, left in the socket for Discard to take.
  Result Peek(std::span<uint8_t> into);
  // Takes bytes that Peek showed.
  void Discard(size_t bytes);
  // Waits until the socket may be written (forWrite) or read, or it fails, or Shutdown was called:
  // true; false when timeoutMs (without limit when negative) passed first.
  bool Wait(bool forWrite, int timeoutMs);
  // True when something is waiting to be read at once, the end of the stream included.
  bool Readable() const;
  // From any thread: waits on the socket end and every later transfer ends Closed.
  void Shutdown();
  // From any thread: a wait to read ends and every later read ends Closed; writing goes on.
  void ShutdownReceive();

 private:
  void Close();

  Native native_ = kInvalid;
  // What Shutdown and ShutdownReceive ended (kShutReceive, kShutSend): a wait the system would not
  // end on its own ends at its next look.
  static constexpr uint8_t kShutReceive = 1, kShutSend = 2;
  std::atomic<uint8_t> shut_{0};
};

// A stream to the simulator listening at endpoint; an empty socket when nobody listens there, found
// out at once (or, where the system takes its time over a refused connection, within a bound), or
// when the endpoint is not one this system's bridge may use.
StreamSocket ConnectStream(const std::string& endpoint);

}  // namespace platform::bridge
