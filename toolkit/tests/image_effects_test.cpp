// Tiled images, parts of sprite sheets and colours shifted in hue, saturation and lightness.
#include <cairo.h>

#include <filesystem>

#include "testing/temp_folder.h"
#include "toolkit/render/hsl.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/skin_test_window.h"
#include "toolkit/testing/test_images.h"

using namespace toolkit_testing;
namespace headless = toolkit::headless;

namespace {

// A w by h PNG whose top half is one colour and bottom half another.
bool WriteBands(const std::string& path, int w, int h, uint32_t top, uint32_t bottom) {
  return WritePainted(path, w, h, [&](cairo_t* cr) {
    FillRect(cr, top, 0, 0, w, h / 2);
    FillRect(cr, bottom, 0, h / 2, w, h - h / 2);
  });
}

class ImageEffects : public HeadlessTest {
 protected:
  testing_support::TempFolder folder;
  void SetUp() override {
    HeadlessTest::SetUp();
    CPaintManagerUI::SetResourceZip("");
    CPaintManagerUI::SetResourcePath(folder.path());
    ASSERT_TRUE(WritePng(folder.File("halves.png"), 10, 10, 0xFF0000FF, 0xFFFF0000));  // red | blue
    ASSERT_TRUE(WriteBands(folder.File("bands.png"), 10, 10, 0xFF00FF00, 0xFF000000));  // green over black
  }
  void TearDown() override {
    CPaintManagerUI::SetResourcePath("");
    HeadlessTest::TearDown();
  }
};

constexpr uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kGreen = 0xFF00FF00u, kBlack = 0xFF000000u;

}  // namespace

TEST_F(ImageEffects, TiledImagesRepeatAtTheirOwnSizeAndStretchedOnesDoNot) {
  SkinWindow w(R"(<Window size="40,60"><VerticalLayout>
      <Control name="x" height="10" bkimage="file='halves.png' xtiled='true'"/>
      <Control name="stretched" height="10" bkimage="halves.png"/>
      <Control name="y" height="40" width="20" bkimage="file='bands.png' ytiled='true'"/>
    </VerticalLayout></Window>)");
  ASSERT_TRUE(w.Create(nullptr, "tiles", WS_POPUP | WS_VISIBLE, 0, 0, 0, 40, 60));
  cairo_surface_t* s = headless::Render(w);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(PixelAt(s, 2, 5), kRed);
  EXPECT_EQ(PixelAt(s, 8, 5), kBlue);
  EXPECT_EQ(PixelAt(s, 32, 5), kRed);  // the fourth copy
  EXPECT_EQ(PixelAt(s, 38, 5), kBlue);
  EXPECT_EQ(PixelAt(s, 8, 15), kRed);  // one copy, four times as wide
  EXPECT_EQ(PixelAt(s, 32, 15), kBlue);
  // Repeated downwards, stretched across.
  EXPECT_EQ(PixelAt(s, 15, 22), kGreen);
  EXPECT_EQ(PixelAt(s, 15, 27), kBlack);
  EXPECT_EQ(PixelAt(s, 15, 52), kGreen);
  EXPECT_EQ(PixelAt(s, 15, 57), kBlack);
  cairo_surface_destroy(s);
  DestroyWindow(w);
}

TEST_F(ImageEffects, APartOfAnImageNeverShowsItsNeighbours) {
  // The left half of a red|blue picture stretched four times: its last column must stay red,
  // not blend with the blue beside it.
  SkinWindow w(R"(<Window size="40,20"><VerticalLayout>
      <Control height="10" bkimage="file='halves.png' source='0,0,5,10'"/>
      <Control height="10" bkimage="file='halves.png' source='5,0,10,10'"/>
    </VerticalLayout></Window>)");
  ASSERT_TRUE(w.Create(nullptr, "part", WS_POPUP | WS_VISIBLE, 0, 0, 0, 40, 20));
  cairo_surface_t* s = headless::Render(w);
  EXPECT_EQ(PixelAt(s, 39, 5), kRed);
  EXPECT_EQ(PixelAt(s, 0, 15), kBlue);
  cairo_surface_destroy(s);
  DestroyWindow(w);
}

TEST(Hsl, ShiftsHueSaturationAndLightnessAndKeepsAlpha) {
  using toolkit::HslShift;
  using toolkit::ShiftColor;
  EXPECT_EQ(ShiftColor(0x80FF0000u, HslShift{}), 0x80FF0000u);
  EXPECT_EQ(ShiftColor(0xFFFF0000u, HslShift{300, 100, 100}), 0xFF00FF00u);  // a third of the way round
  EXPECT_EQ(ShiftColor(0x40FF0000u, HslShift{60, 100, 100}), 0x400000FFu);
  EXPECT_EQ(ShiftColor(0xFFFF0000u, HslShift{180, 0, 100}), 0xFF808080u);  // no saturation: grey
  EXPECT_EQ(ShiftColor(0xFFFF0000u, HslShift{180, 100, 0}), 0xFF000000u);
  EXPECT_EQ(ShiftColor(0xFFFF0000u, HslShift{180, 100, 200}), 0xFFFFFFFFu);
  EXPECT_EQ(ShiftColor(0xFF808080u, HslShift{0, 200, 100}), 0xFF808080u);  // grey has no hue to turn
  // Premultiplied pixels shift as the colour they stand for.
  EXPECT_EQ(toolkit::ShiftPremultiplied(0x80800000u, HslShift{300, 100, 100}), 0x80008000u);
  EXPECT_EQ(toolkit::ShiftPremultiplied(0u, HslShift{300, 100, 100}), 0u);
}

TEST_F(ImageEffects, AControlTintedAtRunTimeShiftsItsColoursImagesAndChildren) {
  SkinWindow w(R"(<Window size="40,30"><VerticalLayout name="root">
      <Control name="plain" height="10" bkcolor="#FFFF0000"/>
      <Control name="picture" height="10" bkimage="file='halves.png' source='0,0,5,10'"/>
      <HorizontalLayout name="panel" height="10"><Control name="inner" bkcolor="#FFFF0000"/></HorizontalLayout>
    </VerticalLayout></Window>)");
  ASSERT_TRUE(w.Create(nullptr, "tint", WS_POPUP | WS_VISIBLE, 0, 0, 0, 40, 30));
  w.pm.FindControl("plain")->SetColorHSL(true, 300, 100, 100);
  w.pm.FindControl("picture")->SetColorHSL(true, 300, 100, 100);
  w.pm.FindControl("panel")->SetColorHSL(true, 180, 100, 0);
  auto* added = new CControlUI();
  added->SetBkColor(0xFFFF0000u);
  added->SetFixedWidth(10);
  w.pm.FindControlAs<CContainerUI>("panel")->AddAt(added, 0);
  cairo_surface_t* s = headless::Render(w);
  EXPECT_EQ(PixelAt(s, 20, 5), kGreen);
  EXPECT_EQ(PixelAt(s, 20, 15), kGreen);  // the image's red turned the same way
  EXPECT_EQ(PixelAt(s, 20, 25), kBlack);  // a panel's tint reaches what is in it
  EXPECT_EQ(PixelAt(s, 5, 25), kBlack);   // and what is added to it later
  cairo_surface_destroy(s);

  // Switching the tint off, or back to neutral, shows the skin's own colours again.
  w.pm.FindControl("plain")->SetColorHSL(false, 300, 100, 100);
  w.pm.FindControl("picture")->SetColorHSL(true, 180, 100, 100);
  w.pm.FindControl("panel")->SetColorHSL(false, 180, 100, 0);
  s = headless::Render(w);
  EXPECT_EQ(PixelAt(s, 20, 5), kRed);
  EXPECT_EQ(PixelAt(s, 20, 15), kRed);
  EXPECT_EQ(PixelAt(s, 20, 25), kRed);
  cairo_surface_destroy(s);
  DestroyWindow(w);
}
