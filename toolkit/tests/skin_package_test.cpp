// The build's skin packaging: a skin folder and its flat archive hold the same files, SVG sources
// become the PNG names the skin uses, and a window builds from the archive alone.
#include <filesystem>
#include <string>

#include "common/zip/zip_archive.h"
#include "platform/file_io.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/skin_test_window.h"

using namespace toolkit_testing;

namespace {

const std::filesystem::path kFolder = std::filesystem::path(VYMERA_SKINVIEW_SAMPLE).parent_path();

class SkinPackage : public HeadlessTest {};

TEST_F(SkinPackage, ArchiveHoldsTheFolderFlatWithPngsForSvgs) {
  auto archive = ZipArchive::Open(VYMERA_SKINVIEW_SAMPLE_ZIP);
  ASSERT_TRUE(archive);
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kFolder)) {
    ++files;
    std::string name = entry.path().filename().string();
    EXPECT_NE(entry.path().extension(), ".svg") << name;
    auto packed = archive->ReadItem(name);
    ASSERT_TRUE(packed) << name;
    EXPECT_EQ(*packed, platform::ReadWholeFile(entry.path().string()).value_or("")) << name;
  }
  EXPECT_EQ(archive->ItemCount(), files);
  auto png = archive->ReadItem("btn_normal.png");
  ASSERT_TRUE(png);
  EXPECT_EQ(png->substr(0, 8), std::string("\x89PNG\r\n\x1a\n"));
}

TEST_F(SkinPackage, WindowBuildsFromTheArchiveAlone) {
  CPaintManagerUI::SetResourcePath(CStdString(std::filesystem::path(VYMERA_SKINVIEW_SAMPLE_ZIP).parent_path().string()));
  CPaintManagerUI::SetResourceZip(CStdString(std::filesystem::path(VYMERA_SKINVIEW_SAMPLE_ZIP).filename().string()));
  SkinWindow w("sample.xml");
  EXPECT_TRUE(w.Create(nullptr, "sample", WS_POPUP, 0, 0, 0, 400, 300));
  EXPECT_TRUE(w.built);
  if (w.GetHWND()) DestroyWindow(w);
  CPaintManagerUI::SetResourceZip("");
}

}  // namespace
