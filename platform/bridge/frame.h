#pragma once
// Frames of the device bridge: how vymera-sim and the programs that reach its simulated devices
// talk over their Unix socket. A frame is an 8-byte header and a payload:
//
//   bytes 0-1  'V' 'S'
//   byte  2    protocol version (kVersion)
//   byte  3    message type
//   bytes 4-7  payload length, little-endian, at most kMaxPayload
//
// Anything else in a header is refused, and a refused stream is not read further.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform::bridge {

inline constexpr uint8_t kMagic0 = 'V';
inline constexpr uint8_t kMagic1 = 'S';
inline constexpr uint8_t kVersion = 1;
inline constexpr size_t kHeaderBytes = 8;
// Room for the largest message, the tracker's 30 days of up to 10 KiB each.
inline constexpr size_t kMaxPayload = 512 * 1024;

struct Frame {
  uint8_t type = 0;
  std::vector<uint8_t> payload;
  bool operator==(const Frame&) const = default;
};

// The frame in its wire form; empty when the payload is over kMaxPayload.
std::vector<uint8_t> EncodeFrame(const Frame& frame);

// Cuts a byte stream into frames. Bytes go in as they arrive; the decoder never holds more than
// one frame's worth.
class FrameDecoder {
 public:
  enum class State {
    NeedMore,  // no whole frame yet
    Ready,     // Take() gives the next frame
    Refused,   // the stream broke the frame rules; nothing more is read from it
  };

  // Takes bytes, at most what completes the current frame; returns how many were taken (fewer than
  // given once a frame is ready or the stream is refused).
  size_t Feed(std::span<const uint8_t> bytes);
  State state() const { return state_; }
  // The frame that is ready; the decoder then waits for the next one.
  Frame Take();
  // True while part of a frame has arrived.
  bool Partial() const { return state_ == State::NeedMore && !header_.empty(); }

 private:
  void ReadHeader();

  State state_ = State::NeedMore;
  std::vector<uint8_t> header_;
  size_t want_ = 0;  // payload bytes still to come, once the header is read
  bool haveHeader_ = false;
  Frame frame_;
};

}  // namespace platform::bridge
