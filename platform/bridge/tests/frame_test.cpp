#include "platform/bridge/frame.h"

#include <gtest/gtest.h>

using platform::bridge::EncodeFrame;
using platform::bridge::Frame;
using platform::bridge::FrameDecoder;
using platform::bridge::kMaxPayload;

namespace {

std::vector<uint8_t> Header(uint8_t type, uint32_t length, uint8_t version = 1) {
  return {'V', 'S', version, type, static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
          static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24)};
}

}  // namespace

TEST(BridgeFrame, EncodesTheHeaderAndCutsAStreamIntoItsFrames) {
  Frame a{0x01, {0x15, 0x19, 0x3B, 0x00}};
  Frame b{0x7F, {}};
  std::vector<uint8_t> wire = EncodeFrame(a);
  EXPECT_EQ(wire, (std::vector<uint8_t>{'V', 'S', 1, 0x01, 4, 0, 0, 0, 0x15, 0x19, 0x3B, 0x00}));
  std::vector<uint8_t> second = EncodeFrame(b);
  wire.insert(wire.end(), second.begin(), second.end());

  // Byte by byte, as a slow peer would send it: the decoder stops at the end of each frame.
  FrameDecoder decoder;
  std::vector<Frame> got;
  for (size_t i = 0; i < wire.size(); ++i) {
    ASSERT_EQ(decoder.Feed(std::span<const uint8_t>(&wire[i], 1)), 1u) << i;
    if (decoder.state() == FrameDecoder::State::Ready) got.push_back(decoder.Take());
  }
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], a);
  EXPECT_EQ(got[1], b);
  EXPECT_FALSE(decoder.Partial());

  // All at once: only the first frame's bytes are taken.
  FrameDecoder whole;
  EXPECT_EQ(whole.Feed(wire), 12u);
  EXPECT_EQ(whole.Take(), a);
  EXPECT_EQ(whole.Feed(std::span<const uint8_t>(wire).subspan(12)), 8u);
  EXPECT_EQ(whole.Take(), b);
}

TEST(BridgeFrame, RefusesAForeignOrOversizedHeaderBeforeAnyPayloadArrives) {
  for (const auto& header : {std::vector<uint8_t>{'X', 'S', 1, 1, 0, 0, 0, 0}, Header(1, 0, 2),
                             Header(1, static_cast<uint32_t>(kMaxPayload) + 1), Header(1, 0xFFFFFFFF)}) {
    FrameDecoder decoder;
    EXPECT_EQ(decoder.Feed(header), header.size());
    EXPECT_EQ(decoder.state(), FrameDecoder::State::Refused);
    // Nothing more is read from a refused stream.
    uint8_t more[4] = {};
    EXPECT_EQ(decoder.Feed(more), 0u);
  }
  FrameDecoder largest;
  largest.Feed(Header(1, static_cast<uint32_t>(kMaxPayload)));
  EXPECT_EQ(largest.state(), FrameDecoder::State::NeedMore);
  EXPECT_TRUE(largest.Partial());

  EXPECT_TRUE(EncodeFrame(Frame{1, std::vector<uint8_t>(kMaxPayload + 1)}).empty());
  EXPECT_EQ(EncodeFrame(Frame{1, std::vector<uint8_t>(kMaxPayload)}).size(), kMaxPayload + 8);
}
