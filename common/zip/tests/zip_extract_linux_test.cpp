// What needs Linux itself: archives made by the real archivers (Info-ZIP, bsdtar), stored symbolic
// links, pipes, and file modes and times read back through stat.
#include <sys/stat.h>
#include <unistd.h>

#include "common/zip/zip_archive.h"
#include "common/zip/zip_extractor.h"
#include "zip_test_writer.h"

namespace {

namespace fs = std::filesystem;
using platform::ReadWholeFile;
using zip_test::BuildZip;
using zip_test::Entry;

class ZipOnLinux : public zip_test::InTempFolder {
 protected:
  // A tree of files made in folder "src" beside the base folder, for the real archivers.
  void MakeSourceTree() {
    fs::create_directories(Path("src/skin/images"));
    platform::WriteFileAtomically(Path("src/main.xml"), "<Window size=\"850,600\"/>");
    platform::WriteFileAtomically(Path("src/skin/images/big.bin"), std::string(200000, 'q') + "end");
    std::string noise;
    for (int i = 0; i < 50000; ++i) noise.push_back(static_cast<char>((i * 7919) % 251));
    platform::WriteFileAtomically(Path("src/skin/noise.bin"), noise);
    platform::WriteFileAtomically(Path("src/empty.txt"), "");
  }

  void ExpectSourceTreeUnpacked() {
    EXPECT_EQ(ReadWholeFile(Work("main.xml")), ReadWholeFile(Path("src/main.xml")));
    EXPECT_EQ(ReadWholeFile(Work("skin/images/big.bin")), ReadWholeFile(Path("src/skin/images/big.bin")));
    EXPECT_EQ(ReadWholeFile(Work("skin/noise.bin")), ReadWholeFile(Path("src/skin/noise.bin")));
    EXPECT_EQ(ReadWholeFile(Work("empty.txt")), "");
  }
};

TEST_F(ZipOnLinux, UnpacksWhatInfoZipMadeDeflatedAndStored) {
  MakeSourceTree();
  ASSERT_TRUE(zip_test::Run("cd " + Path("src") + " && zip -q -r " + Path("deflated.zip") + " ."));
  ASSERT_TRUE(zip_test::Run("cd " + Path("src") + " && zip -q -0 -r " + Path("stored.zip") + " ."));
  for (const char* archive : {"deflated.zip", "stored.zip"}) {
    SCOPED_TRACE(archive);
    for (ZipResult result : ExtractAll(Path(archive))) EXPECT_EQ(result, ZipResult::kOk);
    ExpectSourceTreeUnpacked();
    fs::remove_all(Work("skin"));
  }
}

TEST_F(ZipOnLinux, UnpacksWhatBsdtarMade) {
  MakeSourceTree();
  ASSERT_TRUE(zip_test::Run("cd " + Path("src") + " && bsdtar --format zip -cf " + Path("bsd.zip") + " *"));
  for (ZipResult result : ExtractAll(Path("bsd.zip"))) EXPECT_EQ(result, ZipResult::kOk);
  ExpectSourceTreeUnpacked();
}

TEST_F(ZipOnLinux, HighlyCompressibleItemsFromInfoZipComeOutWhole) {
  fs::create_directory(Path("src"));
  for (std::size_t size : {16484u, 262304u, 1048653u}) {
    platform::WriteFileAtomically(Path("src/zeros-" + std::to_string(size)), std::string(size, '\0'));
  }
  ASSERT_TRUE(zip_test::Run("cd " + Path("src") + " && zip -q -9 -r " + Path("zeros.zip") + " ."));
  EXPECT_EQ(ExtractAll(Path("zeros.zip")), std::vector<ZipResult>(3, ZipResult::kOk));
  for (std::size_t size : {16484u, 262304u, 1048653u}) {
    const std::string name = "zeros-" + std::to_string(size);
    EXPECT_TRUE(ReadWholeFile(Work(name)) == ReadWholeFile(Path("src/" + name))) << name;
  }
}

TEST_F(ZipOnLinux, StoredSymbolicLinksComeOutAsPlainFiles) {
  ASSERT_TRUE(platform::WriteFileAtomically(Path("secret.txt"), "keep"));
  ASSERT_EQ(::symlink(Path("secret.txt").c_str(), Path("link").c_str()), 0);
  ASSERT_TRUE(zip_test::Run("cd " + Path("") + " && zip -q -y links.zip link"));
  // Stored as a link, it comes out as a plain file holding the link's text.
  EXPECT_EQ(ExtractAll(Path("links.zip")), std::vector<ZipResult>{ZipResult::kOk});
  EXPECT_FALSE(fs::is_symlink(Work("link")));
  EXPECT_EQ(ReadWholeFile(Work("link")), Path("secret.txt"));
}

TEST_F(ZipOnLinux, PipesAreNeitherReadNorWrittenAndNothingWaits) {
  ASSERT_EQ(::mkfifo(Path("pipe.zip").c_str(), 0600), 0);
  ZipExtractor zip;
  EXPECT_EQ(zip.OpenArchive(Path("pipe.zip")), ZipResult::kReadError);
  ASSERT_EQ(::mkfifo(Work("pipe.txt").c_str(), 0600), 0);
  EXPECT_EQ(ExtractAll(Archive(BuildZip({{.name = "pipe.txt", .data = "y"}}))),
            std::vector<ZipResult>{ZipResult::kOpenFailed});
}

TEST_F(ZipOnLinux, FindsItemsBehindDataInFrontOfTheArchive) {
  // What a self-extracting program looks like: the archive's offsets do not count the stub.
  ASSERT_TRUE(platform::WriteFileAtomically(Work("inside.txt"), "from behind the stub"));
  ASSERT_TRUE(zip_test::Run("cd " + Work("") + " && zip -q -X " + Path("plain.zip") + " inside.txt"));
  std::filesystem::remove(Work("inside.txt"));
  auto plain = platform::ReadWholeFile(Path("plain.zip"));
  ASSERT_TRUE(plain);
  const std::string stub(70000, '\x90');

  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(Archive(stub + *plain, "sfx.zip")), ZipResult::kOk);
  ZipItem item;
  ASSERT_EQ(zip.GetItem(0, item), ZipResult::kOk);
  EXPECT_EQ(item.name, "inside.txt");
  EXPECT_EQ(zip.ExtractItem(0, item.name), ZipResult::kOk);
  EXPECT_EQ(platform::ReadWholeFile(Work("inside.txt")), "from behind the stub");
  auto archive = ZipArchive::Open(Path("sfx.zip"));
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->ReadItem("inside.txt"), "from behind the stub");
}

TEST_F(ZipOnLinux, InfoZipArchivesCarryTheirFilesTimes) {
  ASSERT_TRUE(platform::WriteFileAtomically(Work("dated.txt"), "dated"));
  ASSERT_TRUE(zip_test::Run("cd " + Work("") +
                            " && touch -m -d @1300000000 dated.txt && touch -a -d @1400000000 dated.txt"
                            " && zip -q " +
                            Path("dated.zip") + " dated.txt && rm dated.txt"));
  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(Path("dated.zip")), ZipResult::kOk);
  ZipItem item;
  ASSERT_EQ(zip.GetItem(0, item), ZipResult::kOk);
  EXPECT_EQ(item.modificationTime, 1300000000);
  EXPECT_EQ(item.accessTime, 1400000000);
  ASSERT_EQ(zip.ExtractItem(0, "dated.txt"), ZipResult::kOk);
  struct stat info {};
  ASSERT_EQ(::stat(Work("dated.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, 1300000000);
  EXPECT_EQ(info.st_atime, 1400000000);
}

TEST_F(ZipOnLinux, FindsItemsByNameWithEitherSeparator) {
  std::filesystem::create_directories(Path("src/skin"));
  platform::WriteFileAtomically(Path("src/skin/main.xml"), "<Window/>");
  platform::WriteFileAtomically(Path("src/Logo.png"), std::string(30000, '\x89'));
  ASSERT_TRUE(zip_test::Run("cd " + Path("src") + " && zip -q -r " + Path("res.zip") + " ."));
  auto archive = ZipArchive::Open(Path("res.zip"));
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->ItemCount(), 3u);
  EXPECT_EQ(archive->ReadItem("skin/main.xml"), "<Window/>");
  EXPECT_EQ(archive->ReadItem("skin\\main.xml"), "<Window/>");
  EXPECT_EQ(archive->ReadItem("Logo.png"), std::string(30000, '\x89'));
  // Names are matched exactly as stored.
  EXPECT_EQ(archive->ReadItem("logo.png"), std::nullopt);
  EXPECT_EQ(archive->ReadItem("main.xml"), std::nullopt);
  EXPECT_EQ(archive->ReadItem("skin/"), std::nullopt);
  // Many reads of one open archive, in any order.
  EXPECT_EQ(archive->ReadItem("Logo.png")->size(), 30000u);
  EXPECT_EQ(archive->ReadItem("skin/main.xml"), "<Window/>");
}

}  // namespace
