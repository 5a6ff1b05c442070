#include <cairo.h>

#include <filesystem>

#include "platform/file_io.h"
#include "testing/temp_folder.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/skin_folder.h"
#include "toolkit/testing/skin_test_window.h"
#include "toolkit/testing/test_images.h"

using namespace toolkit_testing;
namespace headless = toolkit::headless;

namespace {

class Render : public SkinFolderTest {};

}  // namespace

TEST_F(Render, SkinFileFromTheFolderWithIncludesAndImagesFromAboveIt) {
  ASSERT_TRUE(WritePng(folder.File("res/red.png"), 10, 10, 0xFFFF0000));
  ASSERT_TRUE(WritePng(folder.File("user/face.png"), 10, 10, 0xFF000001, 0xFF00FF00));
  ASSERT_TRUE(platform::WriteFileAtomically(folder.File("res/parts.xml"),
                                            R"(<Window><Default name="Label" value="bkcolor=&quot;#FF0000FF&quot;"/></Window>)"));
  ASSERT_TRUE(platform::WriteFileAtomically(folder.File("res/main.xml"), R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="100,60" roundcorner="13,12">
  <Include source="parts.xml"/>
  <VerticalLayout bkcolor="#FFFFFFFF">
    <Label name="blue" height="20"/>
    <Control name="img" height="20" bkimage="red.png"/>
    <Control name="face" height="20" bkimage="file='..\user\face.png' fade='255' mask='#000001'"/>
  </VerticalLayout>
</Window>)"));
  SkinWindow w("main.xml");
  ASSERT_TRUE(w.Create(nullptr, "r", WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 60));
  cairo_surface_t* s = headless::Render(w);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(PixelAt(s, 50, 10), 0xFF0000FFu);  // the included class default
  EXPECT_EQ(PixelAt(s, 50, 30), 0xFFFF0000u);  // the image, stretched over the control
  EXPECT_EQ(PixelAt(s, 20, 50), 0xFF00FF00u);  // the user's picture, read from beside the skins
  EXPECT_EQ(PixelAt(s, 80, 50), 0xFFFFFFFFu);  // its mask colour let the white through
  EXPECT_EQ(PixelAt(s, 0, 0), 0u);            // cut by the rounded region
  EXPECT_EQ(PixelAt(s, 99, 59), 0u);
  EXPECT_EQ(PixelAt(s, 6, 30), 0xFFFF0000u);
  cairo_surface_destroy(s);

  std::string png = folder.File("shot.png");
  EXPECT_TRUE(headless::RenderToPng(w, png));
  EXPECT_TRUE(platform::PathExists(png));
  DestroyWindow(w);
}

TEST_F(Render, SourceRectanglesFadeAndAChangedPictureOnDisk) {
  ASSERT_TRUE(WritePng(folder.File("res/two.png"), 20, 10, 0xFF0000FF, 0xFFFF0000));  // red | blue
  ASSERT_TRUE(WritePng(folder.File("user/p.png"), 4, 4, 0xFF00FF00));
  SkinWindow w(R"(<Window size="40,30"><VerticalLayout bkcolor="#FF000000">
      <Control name="right" height="10" bkimage="file='two.png' source='10,0,20,10'"/>
      <Control name="half" height="10" bkimage="file='two.png' source='0,0,10,10' fade='128'"/>
      <Control name="pic" height="10"/>
    </VerticalLayout></Window>)");
  ASSERT_TRUE(w.Create(nullptr, "s", WS_POPUP | WS_VISIBLE, 0, 0, 0, 40, 30));
  w.pm.FindControl("pic")->SetBkImage(CStdString("file='" + folder.File("user/p.png") + "' fade='255'"));
  cairo_surface_t* s = headless::Render(w);
  EXPECT_EQ(PixelAt(s, 5, 5), 0xFF0000FFu);
  uint32_t faded = PixelAt(s, 5, 15);
  EXPECT_NEAR(static_cast<int>((faded >> 16) & 0xFF), 128, 2);  // half red over black
  EXPECT_EQ(PixelAt(s, 5, 25), 0xFF00FF00u);
  cairo_surface_destroy(s);

  // The login rewrites the user's picture while the window stands.
  ASSERT_TRUE(WritePng(folder.File("user/p.png"), 5, 5, 0xFFFFFF00));
  s = headless::Render(w);
  EXPECT_EQ(PixelAt(s, 5, 25), 0xFFFFFF00u);
  cairo_surface_destroy(s);
  DestroyWindow(w);
}

TEST_F(Render, TextWithMarkupAndChineseGlyphsDrawsInk) {
  SkinWindow w(R"(<Window size="200,40"><VerticalLayout bkcolor="#FFFFFFFF">
      <Label name="t" text="{c #0c6eaf}已成功连接{/c}" textcolor="#00000000"/>
    </VerticalLayout></Window>)");
  ASSERT_TRUE(w.Create(nullptr, "t", WS_POPUP | WS_VISIBLE, 0, 0, 0, 200, 40));
  cairo_surface_t* s = headless::Render(w);
  int blue = 0, black = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 200; ++x) {
      uint32_t p = PixelAt(s, x, y);
      if (p == 0xFFFFFFFFu) continue;
      if ((p & 0xFF) > ((p >> 16) & 0xFF) + 40) ++blue;
      if ((p & 0xFFFFFF) == 0) ++black;
    }
  }
  EXPECT_GT(blue, 30);  // the marked-up run is blue; no other ink
  EXPECT_EQ(black, 0);
  cairo_surface_destroy(s);
  DestroyWindow(w);
}

TEST_F(Render, MissingSkinFailsCreation) {
  SkinWindow w("nothere.xml");
  EXPECT_EQ(w.Create(nullptr, "m", WS_POPUP, 0, 0, 0, 10, 10), nullptr);
  EXPECT_FALSE(w.built);
}

TEST_F(Render, SkinsFromAnArchive) {
  ASSERT_TRUE(WritePng(folder.File("res/red.png"), 10, 10, 0xFFFF0000));
  ASSERT_TRUE(platform::WriteFileAtomically(folder.File("res/dlg.xml"),
      R"(<Window size="20,20"><Container name="c" bkimage="img\red.png"/></Window>)"));
  std::filesystem::create_directories(folder.File("res/img"));
  std::filesystem::rename(folder.File("res/red.png"), folder.File("res/img/red.png"));
  std::string cmd = "cd '" + folder.File("res") + "' && zip -q -r ../res.zip dlg.xml img";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::filesystem::remove_all(folder.File("res"));
  CPaintManagerUI::SetResourcePath(folder.path());
  CPaintManagerUI::SetResourceZip("\\res.zip");
  SkinWindow w("dlg.xml");
  ASSERT_TRUE(w.Create(nullptr, "z", WS_POPUP | WS_VISIBLE, 0, 0, 0, 20, 20));
  cairo_surface_t* s = headless::Render(w);
  EXPECT_EQ(PixelAt(s, 10, 10), 0xFFFF0000u);
  cairo_surface_destroy(s);
  DestroyWindow(w);
  CPaintManagerUI::SetResourceZip("missing.zip");
  SkinWindow none("dlg.xml");
  EXPECT_EQ(none.Create(nullptr, "n", WS_POPUP, 0, 0, 0, 20, 20), nullptr);
  CPaintManagerUI::SetResourceZip("");
}
