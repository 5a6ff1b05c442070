// Feeds fuzzed bytes to the bridge's frame decoder in pieces, as a socket would hand them over, and
// every frame it gives to every message decoder. Beyond crashes and leaks it checks that a frame and
// each message decoded from it are written back to the very bytes they were read from: the wire
// form is canonical, so nothing is read that the writer would not have written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/bridge/frame.h"
#include "platform/bridge/messages.h"

namespace b = platform::bridge;

namespace {

void Check(bool held) {
  if (!held) std::abort();
}

template <class M>
void Decode(const b::Frame& frame) {
  b::Frame typed{M::kType, frame.payload};
  std::optional<M> message = b::FromFrame<M>(typed);
  if (message) Check(b::ToFrame(*message).payload == frame.payload);
}

void DecodeTransfer(const b::Frame& frame, uint8_t type) {
  std::optional<b::TransferReply> reply = b::TransferFromFrame(b::Frame{type, frame.payload}, type);
  if (reply) Check(b::ToFrame(*reply, type).payload == frame.payload);
}

void DecodeAll(const b::Frame& frame) {
  Decode<b::EnumerateRequest>(frame);
  Decode<b::InterfaceList>(frame);
  Decode<b::OpenRequest>(frame);
  Decode<b::OpenReply>(frame);
  Decode<b::WriteRequest>(frame);
  Decode<b::ReadRequest>(frame);
  DecodeTransfer(frame, b::TransferReply::kWriteType);
  DecodeTransfer(frame, b::TransferReply::kReadType);
  Decode<b::TrackerAttachedRequest>(frame);
  Decode<b::TrackerAttachedReply>(frame);
  Decode<b::TrackerDeviceIdReply>(frame);
  Decode<b::TrackerClockReply>(frame);
  Decode<b::TrackerDaysReply>(frame);
  Decode<b::TrackerSetParametersRequest>(frame);
  Decode<b::CommandRequest>(frame);
  Decode<b::CommandReply>(frame);
  Decode<b::ErrorReply>(frame);
}

}  // namespace

// Byte 0 sets the size of the pieces (1 to 256 bytes); the rest is the stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t piece = size_t{data[0]} + 1;
  std::span<const uint8_t> stream(data + 1, size - 1);
  b::FrameDecoder decoder;
  size_t at = 0, frameStart = 0;
  while (at < stream.size() && decoder.state() != b::FrameDecoder::State::Refused) {
    size_t n = std::min(piece, stream.size() - at);
    size_t used = decoder.Feed(stream.subspan(at, n));
    Check(used <= n);
    at += used;
    if (decoder.state() == b::FrameDecoder::State::Ready) {
      b::Frame frame = decoder.Take();
      std::vector<uint8_t> wire = b::EncodeFrame(frame);
      Check(wire.size() == at - frameStart && std::equal(wire.begin(), wire.end(), stream.begin() + frameStart));
      DecodeAll(frame);
      frameStart = at;
    } else if (decoder.state() == b::FrameDecoder::State::NeedMore) {
      Check(used == n);
    }
  }
  return 0;
}
