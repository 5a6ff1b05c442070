// Decoded images as plain pixels and the image arithmetic every renderer shares, on both platforms'
// decoders: cairo and gdk-pixbuf on Linux, GDI+ on Windows.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/render/renderer.h"
#include "toolkit/skin/resource_source.h"

namespace {

using toolkit::Image;

// 2 x 1: opaque red, then blue at alpha 128.
const std::string kTwoPixels(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x01"
    "\x08\x06\x00\x00\x00\xf4\x22\x7f\x8a\x00\x00\x00\x0e\x49\x44\x41\x54\x78\xda\x63\xf8\xcf\xc0\x00"
    "\x42\x0d\x00\x0f\x7a\x03\x7e\x6a\x81\x31\xe1\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    71);
// 9000 x 1, one pixel row wider than any skin image may be.
const std::string kTooWide(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x23\x28\x00\x00\x00\x01"
    "\x08\x06\x00\x00\x00\xb3\x23\x05\x45\x00\x00\x00\x3a\x49\x44\x41\x54\x78\xda\xed\xc1\x31\x01\x00"
    "\x00\x00\xc2\xa0\xf5\x4f\x6d\x0d\x0f\xa0\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x80\x1b\x03\x8c"
    "\xa1\x00\x01\xa9\x47\xe9\xd0\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    115);

TEST(ImagePixels, DecodedPremultipliedWithAlphaOnTop) {
  auto image = toolkit::DecodeImage(kTwoPixels, std::nullopt);
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->Width(), 2);
  ASSERT_EQ(image->Height(), 1);
  EXPECT_EQ(image->Row(0)[0], 0xFFFF0000u);
  uint32_t half = image->Row(0)[1];
  EXPECT_EQ(half >> 24, 128u);
  EXPECT_EQ((half >> 16) & 0xFF, 0u);
  EXPECT_NEAR(static_cast<int>(half & 0xFF), 128, 1) << "blue premultiplied by its alpha";
}

TEST(ImagePixels, MaskClearsOnlyOpaquePixelsOfItsColour) {
  auto image = toolkit::DecodeImage(kTwoPixels, 0xFF0000u);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Row(0)[0], 0u);
  EXPECT_NE(image->Row(0)[1], 0u);
  auto other = toolkit::DecodeImage(kTwoPixels, 0x00FF00u);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(other->Row(0)[0], 0xFFFF0000u);
}

TEST(ImagePixels, BrokenTruncatedAndOversizedBytesGiveNothing) {
  EXPECT_EQ(toolkit::DecodeImage("", std::nullopt), nullptr);
  EXPECT_EQ(toolkit::DecodeImage("not an image at all", std::nullopt), nullptr);
  EXPECT_EQ(toolkit::DecodeImage(kTwoPixels.substr(0, 40), std::nullopt), nullptr);
  EXPECT_EQ(toolkit::DecodeImage(kTooWide, std::nullopt), nullptr);
  EXPECT_EQ(Image(0, 5).Width(), 0);
  EXPECT_EQ(Image(Image::kMaxSide + 1, 1).Width(), 0) << "never an allocation the input decides alone";
}

TEST(ImagePixels, TintedCopyKeepsAlphaAndLeavesTheOriginal) {
  auto image = toolkit::DecodeImage(kTwoPixels, std::nullopt);
  ASSERT_NE(image, nullptr);
  toolkit::HslShift shift;
  shift.hue = 300;
  auto tinted = toolkit::ShiftedCopy(*image, shift);
  EXPECT_EQ(image->Row(0)[0], 0xFFFF0000u);
  EXPECT_NE(tinted->Row(0)[0], 0xFFFF0000u);
  EXPECT_EQ(tinted->Row(0)[0] >> 24, 0xFFu);
  EXPECT_EQ(tinted->Row(0)[1] >> 24, 128u);
}

// A renderer that only records what DrawImage asks of it.
class BlitLog : public toolkit::Renderer {
 public:
  struct Call {
    CRect src, dst;
    double alpha;
    bool tileX, tileY;
  };
  std::vector<Call> calls;

  void Clear(bool) override {}
  void FillRect(const CRect&, uint32_t) override {}
  void DrawBorder(const CRect&, uint32_t, int) override {}
  void DrawText(const CRect&, std::string_view, const toolkit::FontSpec&, uint32_t, unsigned, bool) override {}
  int TextHeight(std::string_view, const toolkit::FontSpec&, int, bool) override { return 0; }
  int TextWidth(std::string_view, const toolkit::FontSpec&) override { return 0; }
  void FillPath(const toolkit::Path&, uint32_t, double) override {}
  void StrokePath(const toolkit::Path&, uint32_t, const toolkit::StrokeStyle&) override {}
  void PushClip(const CRect&) override {}
  void PopClip() override {}

 protected:
  void Blit(const Image&, const CRect& src, const CRect& dst, double alpha, bool tileX, bool tileY) override {
    calls.push_back({src, dst, alpha, tileX, tileY});
  }
};

// A source that serves one image from memory under any name.
class OneImage : public toolkit::ResourceSource {
 public:
  explicit OneImage(std::string bytes) : bytes_(std::move(bytes)) {}
  std::optional<std::string> Read(std::string_view) const override { return bytes_; }
  std::string DiskPath(std::string_view) const override { return {}; }

 private:
  std::string bytes_;
};

TEST(ImageDrawing, SourceDestFadeAndTilingReachTheBlit) {
  OneImage source(kTwoPixels);
  toolkit::ImageCache cache;
  BlitLog log;
  ASSERT_TRUE(log.DrawImage(CRect(10, 10, 110, 40), "file='a.png' source='1,0,2,1' dest='5,5,25,15' fade='51'",
                            source, cache));
  ASSERT_EQ(log.calls.size(), 1u);
  EXPECT_EQ(log.calls[0].src.left, 1);
  EXPECT_EQ(log.calls[0].dst.left, 15);
  EXPECT_EQ(log.calls[0].dst.bottom, 25);
  EXPECT_DOUBLE_EQ(log.calls[0].alpha, 0.2);
  log.calls.clear();
  ASSERT_TRUE(log.DrawImage(CRect(0, 0, 50, 8), "file='a.png' xtiled='true'", source, cache));
  ASSERT_EQ(log.calls.size(), 1u);
  EXPECT_TRUE(log.calls[0].tileX);
  EXPECT_FALSE(log.calls[0].tileY);
  log.calls.clear();
  EXPECT_FALSE(log.DrawImage(CRect(0, 0, 50, 8), "file='a.png' fade='0'", source, cache));
  EXPECT_FALSE(log.DrawImage(CRect(0, 0, 50, 8), "file='a.png' source='5,5,9,9'", source, cache))
      << "a source part outside the image draws nothing";
  EXPECT_TRUE(log.calls.empty());
}

TEST(ImageDrawing, NineSlicesKeepCornersAndSkipEmptyParts) {
  OneImage source(kTwoPixels);
  toolkit::ImageCache cache;
  BlitLog log;
  // Corners of one pixel on the left and right only: top and bottom rows are empty and left out.
  ASSERT_TRUE(log.DrawImage(CRect(0, 0, 40, 10), "file='a.png' corner='1,0,1,0'", source, cache));
  ASSERT_EQ(log.calls.size(), 2u) << "the middle column of a 2-pixel image is empty";
  EXPECT_EQ(log.calls[0].dst.GetWidth(), 1);
  EXPECT_EQ(log.calls[1].dst.left, 39);
  for (const auto& c : log.calls) EXPECT_EQ(c.dst.GetHeight(), 10);
}

TEST(Fonts, TheSkinsFaceFirstThenTheChineseFacesOnce) {
  auto families = toolkit::FontFallbacks("Arial");
  ASSERT_GE(families.size(), 3u);
  EXPECT_EQ(families[0], "Arial");
  EXPECT_EQ(families[1], "WenQuanYi Micro Hei");
  auto named = toolkit::FontFallbacks("WenQuanYi Micro Hei");
  EXPECT_EQ(std::count(named.begin(), named.end(), "WenQuanYi Micro Hei"), 1);
  EXPECT_EQ(toolkit::FontFallbacks("").front(), "WenQuanYi Micro Hei");
}

}  // namespace
