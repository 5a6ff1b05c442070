#include "platform/bridge/frame.h"

#include <algorithm>

namespace platform::bridge {

std::vector<uint8_t> EncodeFrame(const Frame& frame) {
  if (frame.payload.size() > kMaxPayload) return {};
  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + frame.payload.size());
  auto n = static_cast<uint32_t>(frame.payload.size());
  out.insert(out.end(), {kMagic0, kMagic1, kVersion, frame.type, static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                         static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)});
  out.insert(out.end(), frame.payload.begin(), frame.payload.end());
  return out;
}

size_t FrameDecoder::Feed(std::span<const uint8_t> bytes) {
  size_t used = 0;
  while (used < bytes.size() && state_ == State::NeedMore) {
    if (!haveHeader_) {
      size_t n = std::min(kHeaderBytes - header_.size(), bytes.size() - used);
      header_.insert(header_.end(), bytes.begin() + used, bytes.begin() + used + n);
      used += n;
      if (header_.size() == kHeaderBytes) ReadHeader();
      continue;
    }
    size_t n = std::min(want_, bytes.size() - used);
    frame_.payload.insert(frame_.payload.end(), bytes.begin() + used, bytes.begin() + used + n);
    used += n;
    want_ -= n;
    if (want_ == 0) state_ = State::Ready;
  }
  return used;
}

void FrameDecoder::ReadHeader() {
  const std::vector<uint8_t>& h = header_;
  uint32_t length = uint32_t{h[4]} | uint32_t{h[5]} << 8 | uint32_t{h[6]} << 16 | uint32_t{h[7]} << 24;
  if (h[0] != kMagic0 || h[1] != kMagic1 || h[2] != kVersion || length > kMaxPayload) {
    state_ = State::Refused;
    return;
  }
  haveHeader_ = true;
  frame_.type = h[3];
  frame_.payload.clear();
  // The length is checked above, so this reservation is bounded whatever the peer sends.
  frame_.payload.reserve(length);
  want_ = length;
  if (want_ == 0) state_ = State::Ready;
}

Frame FrameDecoder::Take() {
  if (state_ != State::Ready) return {};
  Frame out = std::move(frame_);
  frame_ = {};
  header_.clear();
  haveHeader_ = false;
  want_ = 0;
  state_ = State::NeedMore;
  return out;
}

}  // namespace platform::bridge
