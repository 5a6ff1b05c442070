// The image attribute language as drawn: parts of an image, places in the control, unscaled
// corners, fades and mask colours, images that are missing, broken or not PNG, and skins with
// their images read from a ZIP archive instead of the folder.

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <cstdlib>

#include "platform/file_io.h"
#include "toolkit/testing/skin_folder.h"
#include "toolkit/tests/ink.h"

using namespace toolkit_testing;

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kYellow = 0xFFFFFF00u,
                   kWhite = 0xFFFFFFFFu, kBlack = 0xFF000000u;

// A size by size image in four coloured quarters.
bool WriteQuarters(const std::string& path, int size, uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br) {
  return WritePainted(path, size, size, [&](cairo_t* cr) {
    int h = size / 2;
    const uint32_t colours[4] = {tl, tr, bl, br};
    for (int i = 0; i < 4; ++i) FillRect(cr, colours[i], (i % 2) * h, (i / 2) * h, h, h);
  });
}

// A size by size image with a frame border pixels wide around another colour.
bool WriteFramed(const std::string& path, int size, int border, uint32_t frame, uint32_t inner) {
  return WritePainted(path, size, size, [&](cairo_t* cr) {
    FillRect(cr, frame, 0, 0, size, size);
    FillRect(cr, inner, border, border, size - 2 * border, size - 2 * border);
  });
}

// An image without an alpha channel (as most photos are), left half one colour, right another.
bool WriteOpaqueRgb(const std::string& path, int w, int h, uint32_t left, uint32_t right) {
  return WritePainted(
      path, w, h,
      [&](cairo_t* cr) {
        FillRect(cr, right | 0xFF000000u, 0, 0, w, h);
        FillRect(cr, left | 0xFF000000u, 0, 0, w / 2, h);
      },
      CAIRO_FORMAT_RGB24);
}

bool WriteJpeg(const std::string& path, int w, int h, uint32_t rgb) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, w, h);
  if (!pixbuf) return false;
  gdk_pixbuf_fill(pixbuf, (rgb << 8) | 0xFF);
  bool ok = gdk_pixbuf_save(pixbuf, path.c_str(), "jpeg", nullptr, "quality", "100", nullptr);
  g_object_unref(pixbuf);
  return ok;
}

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int shift : {0, 8, 16, 24}) {
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > tolerance) return false;
  }
  return true;
}

class Images : public SkinFolderTest {
 protected:
  // One 40 by 40 control per column, on black.
  std::unique_ptr<SkinWindow> Columns(const std::string& images, int count, bool transparent = false) {
    std::string controls;
    size_t start = 0;
    for (int i = 0; i < count; ++i) {
      size_t end = images.find('|', start);
      controls += "<Control name=\"c" + std::to_string(i) + "\" width=\"40\" bkimage=\"" +
                  images.substr(start, end - start) + "\"/>";
      start = end + 1;
    }
    return Open("<Window size=\"" + std::to_string(40 * count) + ",40\"" + (transparent ? " bktrans=\"true\"" : "") +
                    "><HorizontalLayout" + (transparent ? "" : " bkcolor=\"#FF000000\"") + ">" + controls +
                    "</HorizontalLayout></Window>",
                40 * count, 40);
  }
};

}  // namespace

TEST_F(Images, SourcePicksAQuarterAndDestPlacesItInTheControl) {
  ASSERT_TRUE(WriteQuarters(Res("q.png"), 20, kRed, kGreen, kBlue, kYellow));
  auto w = Columns("q.png|file='q.png' source='10,0,20,10'|file='q.png' source='0,10,10,20'|"
                   "file='q.png' source='10,10,20,20' dest='10,10,30,30'|file='q.png' source='15,15,90,90'",
                   5);
  Shot shot = Take(*w);
  EXPECT_EQ(shot.At(5, 5), kRed);  // the whole image, stretched
  EXPECT_EQ(shot.At(35, 35), kYellow);
  EXPECT_EQ(shot.At(60, 20), kGreen);
  EXPECT_EQ(shot.At(100, 20), kBlue);
  EXPECT_EQ(shot.At(140, 20), kYellow);
  EXPECT_EQ(shot.At(125, 5), kBlack);  // outside dest nothing is drawn
  EXPECT_EQ(shot.At(155, 35), kBlack);
  EXPECT_EQ(shot.At(180, 20), kYellow);  // a source beyond the image is cut to it
  DestroyWindow(*w);
}

TEST_F(Images, CornersKeepTheirSizeWhileTheMiddleStretches) {
  ASSERT_TRUE(WriteFramed(Res("frame.png"), 10, 2, kRed, kBlue));
  auto w = Columns("frame.png|file='frame.png' corner='2,2,2,2'", 2);
  Shot shot = Take(*w);
  EXPECT_EQ(shot.At(5, 20), kRed);  // stretched four times, the frame is 8 pixels wide
  EXPECT_EQ(shot.At(45, 20), kBlue);
  EXPECT_EQ(shot.At(40, 20), kRed);  // kept at 2 pixels
  EXPECT_EQ(shot.At(79, 20), kRed);
  EXPECT_EQ(shot.At(60, 1), kRed);
  EXPECT_EQ(shot.At(60, 6), kBlue);
  DestroyWindow(*w);
}

TEST_F(Images, FadeScalesAlphaAndMaskClearsOneColourEvenInOpaqueImages) {
  Solid("red.png", kRed);
  ASSERT_TRUE(WriteOpaqueRgb(Res("photo.png"), 10, 10, 0x000001, 0x00FF00));
  auto w = Columns("file='red.png' fade='128'|file='red.png' fade='0'|file='photo.png' mask='#000001'|photo.png", 4, true);
  Shot shot = Take(*w);
  uint32_t half = shot.At(20, 20);
  EXPECT_NEAR(static_cast<int>(half >> 24), 128, 2);
  EXPECT_EQ(half & 0x00FFFFFFu, 0x00FF0000u);
  EXPECT_EQ(shot.At(60, 20), 0u);
  EXPECT_EQ(shot.At(85, 20), 0u);  // the picture's mask colour is see-through
  EXPECT_EQ(shot.At(115, 20), kGreen);
  EXPECT_EQ(shot.At(125, 20), 0xFF000001u);  // without a mask it stays
  DestroyWindow(*w);
}

TEST_F(Images, MissingAndBrokenImagesDrawNothingUntilThereIsOne) {
  ASSERT_TRUE(platform::WriteFileAtomically(Res("broken.png"), "\x89PNG\r\n\x1a\n not really"));
  ASSERT_TRUE(platform::WriteFileAtomically(Res("text.png"), "hello"));
  auto w = Columns("missing.png|broken.png|text.png|file=''|file='..\\user\\later.png'", 5);
  {
    Shot shot = Take(*w);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(shot.At(40 * i + 20, 20), kBlack) << i;
  }
  // The picture of a user who has just logged in arrives while the window stands.
  ASSERT_TRUE(WritePng(folder.File("user/later.png"), 4, 4, kGreen));
  EXPECT_EQ(Take(*w).At(180, 20), kGreen);
  std::filesystem::remove(folder.File("user/later.png"));
  EXPECT_EQ(Take(*w).At(180, 20), kBlack);  // and goes again when it is removed
  DestroyWindow(*w);
}

TEST_F(Images, JpegPicturesDecodeToo) {
  ASSERT_TRUE(WriteJpeg(Res("photo.jpg"), 16, 16, 0x3080C0));
  auto w = Columns("photo.jpg|file='photo.jpg' fade='255'", 2);
  Shot shot = Take(*w);
  EXPECT_TRUE(Near(shot.At(20, 20), 0xFF3080C0u, 6)) << std::hex << shot.At(20, 20);
  EXPECT_TRUE(Near(shot.At(60, 20), 0xFF3080C0u, 6));
  DestroyWindow(*w);
}

namespace {

class ArchiveSkins : public SkinFolderTest {
 protected:
  // Zips what lies in res/ into name (beside res/) and removes the folder.
  void ZipRes(const std::string& name) {
    std::string cmd = "cd '" + folder.File("res") + "' && zip -q -r '../" + name + "' .";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::filesystem::remove_all(folder.File("res"));
  }
};

}  // namespace

TEST_F(ArchiveSkins, IncludesImagesAndPicturesBesideTheArchive) {
  std::filesystem::create_directories(Res("img"));
  Solid("img/red.png", kRed);
  ASSERT_TRUE(WritePng(folder.File("user/face.png"), 4, 4, kGreen));
  WriteSkin("parts.xml", R"(<Window><Control name="part" width="20" bkimage="img\red.png"/></Window>)");
  WriteSkin("dlg.xml", R"(<Window size="60,20"><HorizontalLayout bkcolor="#FF000000">
      <Include source="parts.xml"/>
      <Control name="face" width="20" bkimage="file='..\user\face.png' fade='255'"/>
      <Control name="none" width="20" bkimage="img/absent.png"/>
    </HorizontalLayout></Window>)");
  ZipRes("setupres.zip");
  CPaintManagerUI::SetResourcePath(folder.path());
  CPaintManagerUI::SetResourceZip("\\setupres.zip");
  EXPECT_EQ(CPaintManagerUI::GetResourceZip(), "\\setupres.zip");
  auto w = Open("dlg.xml", 60, 20);
  ASSERT_TRUE(w->built);
  ASSERT_NE(w->pm.FindControl("part"), nullptr);
  {
    Shot shot = Take(*w);
    EXPECT_EQ(shot.At(10, 10), kRed);
    EXPECT_EQ(shot.At(30, 10), kGreen);
    EXPECT_EQ(shot.At(50, 10), kBlack);
  }
  DestroyWindow(*w);

  // A skin the archive lacks fails the window, as a missing file does.
  SkinWindow missing("other.xml");
  EXPECT_EQ(missing.Create(nullptr, "m", WS_POPUP, 0, 0, 0, 20, 20), nullptr);

  // The same archive named by its full path.
  CPaintManagerUI::SetResourceZip(folder.File("setupres.zip"));
  auto again = Open("dlg.xml", 60, 20);
  EXPECT_TRUE(again->built);
  DestroyWindow(*again);
}

TEST_F(ArchiveSkins, BackToTheFolderAfterTheArchive) {
  WriteSkin("dlg.xml", R"(<Window size="20,20"><Control name="zipped" bkcolor="#FF0000FF"/></Window>)");
  ZipRes("res.zip");
  std::filesystem::create_directories(folder.File("res"));
  WriteSkin("dlg.xml", R"(<Window size="20,20"><Control name="loose" bkcolor="#FF00FF00"/></Window>)");
  CPaintManagerUI::SetResourcePath(folder.path());
  CPaintManagerUI::SetResourceZip("res.zip");
  auto zipped = Open("dlg.xml", 20, 20);
  EXPECT_NE(zipped->pm.FindControl("zipped"), nullptr);
  DestroyWindow(*zipped);

  CPaintManagerUI::SetResourceZip("");
  CPaintManagerUI::SetResourcePath(folder.File("res"));
  auto loose = Open("dlg.xml", 20, 20);
  EXPECT_NE(loose->pm.FindControl("loose"), nullptr);
  EXPECT_EQ(Take(*loose).At(10, 10), kGreen);
  DestroyWindow(*loose);

  // An archive that is not one reads as an empty source, not as the folder.
  ASSERT_TRUE(platform::WriteFileAtomically(folder.File("fake.zip"), "PK not an archive"));
  CPaintManagerUI::SetResourcePath(folder.path());
  CPaintManagerUI::SetResourceZip("fake.zip");
  SkinWindow none("res/dlg.xml");
  EXPECT_EQ(none.Create(nullptr, "n", WS_POPUP, 0, 0, 0, 20, 20), nullptr);
}
