// The GDI+ renderer on its own pixels: what the cairo renderer draws for the same calls, in the
// places the controls expect.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "toolkit/backend/win32/gdiplus_canvas.h"
#include "toolkit/render/gdiplus_renderer.h"

namespace {

struct Target {
  int width = 120, height = 60;
  std::vector<uint32_t> pixels = std::vector<uint32_t>(static_cast<size_t>(120) * 60, 0);
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // Pixels inside r that differ from white.
  int Ink(const CRect& r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) n += (At(x, y) & 0xFFFFFF) != 0xFFFFFF;
    }
    return n;
  }
};

TEST(GdiplusRenderer, FillsBordersAndPathsLandOnTheirPixels) {
  Target t;
  {
    toolkit::win32::Canvas canvas(t.pixels.data(), t.width, t.height);
    toolkit::GdiplusRenderer r(canvas);
    r.Clear(false);
    r.FillRect(CRect(0, 0, 10, 10), 0xFF3D9BE0);
    r.FillRect(CRect(10, 0, 20, 10), 0x00FF0000);  // alpha 0 draws nothing
    r.DrawBorder(CRect(20, 0, 40, 20), 0xFF15578A, 2);
    r.FillPath(toolkit::Path().Arc(60, 20, 8, 0, 2 * 3.14159265358979), 0xFFD9534F, 1.0);
    r.PushClip(CRect(80, 0, 90, 60));
    r.FillRect(CRect(70, 0, 100, 10), 0xFF2EAD5B);
    r.PopClip();
  }
  EXPECT_EQ(t.At(5, 5), 0xFF3D9BE0u);
  EXPECT_EQ(t.At(15, 5), 0xFFFFFFFFu);
  EXPECT_EQ(t.At(20, 0), 0xFF15578Au);
  EXPECT_EQ(t.At(21, 19), 0xFF15578Au);
  EXPECT_EQ(t.At(30, 10), 0xFFFFFFFFu) << "a border leaves the inside alone";
  EXPECT_EQ(t.At(60, 20), 0xFFD9534Fu);
  EXPECT_EQ(t.At(60, 5), 0xFFFFFFFFu);
  EXPECT_EQ(t.At(75, 5), 0xFFFFFFFFu) << "outside the clip";
  EXPECT_EQ(t.At(85, 5), 0xFF2EAD5Bu);
}

TEST(GdiplusRenderer, ChineseTextInkStaysInItsBoxAndIsMeasured) {
  Target t;
  toolkit::FontSpec font;  // "Arial": the Chinese glyphs come from the CJK face behind it
  font.size = 14;
  int width = 0, height = 0;
  {
    toolkit::win32::Canvas canvas(t.pixels.data(), t.width, t.height);
    toolkit::GdiplusRenderer r(canvas);
    r.Clear(false);
    r.DrawText(CRect(10, 10, 110, 40), "连接状态", font, 0xFF333333, toolkit::kTextCenter | toolkit::kTextVCenter |
                                                                    toolkit::kTextSingleLine, false);
    width = r.TextWidth("连接状态", font);
    height = r.TextHeight("连接状态", font, 200, false);
  }
  EXPECT_GT(t.Ink(CRect(10, 10, 110, 40)), 60) << "four glyphs drawn, not empty boxes";
  EXPECT_EQ(t.Ink(CRect(0, 0, 120, 10)) + t.Ink(CRect(0, 40, 120, 60)), 0);
  EXPECT_NEAR(width, 4 * 14, 8) << "CJK glyphs are one em wide";
  EXPECT_GE(height, 14);
  EXPECT_LE(height, 24);
}

TEST(GdiplusCanvas, ImagesBlendByTheirFade) {
  Target t;
  toolkit::Image image(2, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) image.Row(y)[x] = 0xFF000000u;
  }
  {
    toolkit::win32::Canvas canvas(t.pixels.data(), t.width, t.height);
    canvas.Clear(0xFFFFFFFFu);
    canvas.Blit(image.Pixels(), 2, 2, {0, 0, 2, 2}, {0, 0, 20, 20}, 1.0, false, false);
    canvas.Blit(image.Pixels(), 2, 2, {0, 0, 2, 2}, {30, 0, 50, 20}, 0.5, false, false);
    canvas.Blit(image.Pixels(), 2, 2, {0, 0, 1, 1}, {60, 0, 90, 5}, 1.0, true, false);
  }
  EXPECT_EQ(t.At(10, 10), 0xFF000000u);
  EXPECT_EQ(t.At(19, 19), 0xFF000000u) << "stretched to the edge, no fading border";
  EXPECT_NEAR(static_cast<int>(t.At(40, 10) & 0xFF), 128, 2);
  EXPECT_EQ(t.At(89, 4), 0xFF000000u);
  EXPECT_EQ(t.At(89, 6), 0xFFFFFFFFu);
}

}  // namespace
