#include "platform/bridge/connection.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>

namespace platform::bridge {
namespace {

constexpr size_t kReceiveChunk = 64 * 1024;

int MillisecondsUntil(Deadline deadline) {
  if (!deadline) return -1;
  auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<int64_t>(left, 0, 1 << 30));
}

Deadline Earlier(Deadline a, Deadline b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

// A port number in decimal, 1 to 65535, and nothing else.
std::optional<uint16_t> PortNumber(std::string_view text) {
  unsigned port = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || port < 1 || port > 65535)
    return std::nullopt;
  return static_cast<uint16_t>(port);
}

}  // namespace

Deadline After(int ms) {
  if (ms < 0) return std::nullopt;
  return Clock::now() + std::chrono::milliseconds(ms);
}

uint16_t SimulatorTcpPort() {
  const char* text = std::getenv(kTcpPortVariable);
  return PortNumber(text ? text : "").value_or(kDefaultTcpPort);
}

std::optional<uint16_t> LoopbackPortOf(const std::string& endpoint) {
  static constexpr std::string_view kHost = "127.0.0.1:";
  if (endpoint.compare(0, kHost.size(), kHost) != 0) return std::nullopt;
  return PortNumber(std::string_view(endpoint).substr(kHost.size()));
}

std::unique_ptr<Connection> Connection::Connect(const std::string& endpoint) {
  StreamSocket socket = ConnectStream(endpoint);
  if (!socket) return nullptr;
  return std::make_unique<Connection>(std::move(socket));
}

Connection::Connection(StreamSocket socket) : socket_(std::move(socket)) {}

bool Connection::Wait(bool forWrite, Deadline deadline) { return socket_.Wait(forWrite, MillisecondsUntil(deadline)); }

IoStatus Connection::Send(const Frame& frame, Deadline deadline) {
  if (sendBroken_) return IoStatus::Closed;
  std::vector<uint8_t> bytes = EncodeFrame(frame);
  if (bytes.empty()) return IoStatus::Refused;
  size_t sent = 0;
  while (sent < bytes.size()) {
    StreamSocket::Result n = socket_.Send(std::span<const uint8_t>(bytes).subspan(sent));
    if (n.io == StreamSocket::Io::Done) {
      sent += n.bytes;
      continue;
    }
    if (n.io == StreamSocket::Io::Again) {
      if (!Wait(true, deadline)) {
        // Half a frame may be on its way; the stream cannot carry another.
        sendBroken_ = sent > 0;
        return IoStatus::TimedOut;
      }
      continue;
    }
    sendBroken_ = true;
    return IoStatus::Closed;
  }
  return IoStatus::Ok;
}

IoStatus Connection::Receive(Frame& frame, Deadline deadline) {
  if (receiveBroken_) return IoStatus::Closed;
  uint8_t buffer[kReceiveChunk];
  Deadline frameDeadline;
  for (;;) {
    if (decoder_.state() == FrameDecoder::State::Ready) {
      frame = decoder_.Take();
      return IoStatus::Ok;
    }
    if (decoder_.state() == FrameDecoder::State::Refused) {
      receiveBroken_ = true;
      return IoStatus::Refused;
    }
    if (decoder_.Partial() && !frameDeadline) frameDeadline = After(kFrameGapMs);
    // Never read past the frame being decoded: what follows it belongs to the next call.
    StreamSocket::Result n = socket_.Peek(buffer);
    if (n.io == StreamSocket::Io::Done) {
      socket_.Discard(decoder_.Feed(std::span<const uint8_t>(buffer, n.bytes)));
      continue;
    }
    if (n.io == StreamSocket::Io::Closed) {
      // A peer that ended its stream is gone: nothing more goes to it either, which a TCP stream
      // would otherwise take in once before it notices.
      receiveBroken_ = sendBroken_ = true;
      return IoStatus::Closed;
    }
    if (!Wait(false, Earlier(deadline, frameDeadline))) {
      if (decoder_.Partial()) {
        receiveBroken_ = true;
        return frameDeadline && Clock::now() >= *frameDeadline ? IoStatus::Refused : IoStatus::TimedOut;
      }
      return IoStatus::TimedOut;
    }
  }
}

IoStatus Connection::Exchange(const Frame& request, Frame& reply, Deadline deadline) {
  IoStatus sent = Send(request, deadline);
  if (sent != IoStatus::Ok) {
    receiveBroken_ = sendBroken_ = true;
    return sent;
  }
  IoStatus got = Receive(reply, deadline);
  // A reply that did not come in time may still come, and would answer the next request.
  if (got != IoStatus::Ok) receiveBroken_ = sendBroken_ = true;
  return got;
}

bool Connection::PeerGone() const { return socket_.Readable(); }

void Connection::Shutdown() { socket_.Shutdown(); }

void Connection::StopReceiving() { socket_.ShutdownReceive(); }

}  // namespace platform::bridge
