// Reading items into memory by name, as the window toolkit takes its skins out of an archive.
#include "common/zip/zip_archive.h"
#include "zip_test_writer.h"

namespace {

using zip_test::BuildZip;
using zip_test::Entry;

class ZipArchiveRead : public zip_test::InTempFolder {};

TEST_F(ZipArchiveRead, StoredBackslashesAndGbkNamesAreFound) {
  const std::vector<Entry> entries = {
      {.name = "dlg\\AboutDlg.xml", .data = "<About/>", .versionMadeBy = zip_test::kMadeOnDos, .externalAttributes = 0x20},
      {.name = "\xB9\xD8\xD3\xDA.png", .data = "gbk", .method = 0},  // "关于.png"
      {.name = "empty.txt", .data = ""},
  };
  auto archive = ZipArchive::Open(Archive(BuildZip(entries)));
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->ReadItem("dlg/AboutDlg.xml"), "<About/>");
  EXPECT_EQ(archive->ReadItem("关于.png"), "gbk");
  EXPECT_EQ(archive->ReadItem("empty.txt"), "");
}

TEST_F(ZipArchiveRead, HighlyCompressibleItemsReadWhole) {
  // Past the most one read delivers, so the input is used up while output is still owed.
  const std::string zeros(1048653, '\0');
  const std::string text = [] {
    std::string repeated;
    while (repeated.size() < 16385) repeated += "<Image file=\"bg.png\"/>";
    return repeated.substr(0, 16385);
  }();
  auto archive = ZipArchive::Open(Archive(BuildZip({{.name = "zeros.bin", .data = zeros}, {.name = "skin.xml", .data = text}})));
  ASSERT_NE(archive, nullptr);
  EXPECT_TRUE(archive->ReadItem("zeros.bin") == zeros);
  EXPECT_TRUE(archive->ReadItem("skin.xml") == text);
}

TEST_F(ZipArchiveRead, DamagedItemsGiveNothingButOthersStillRead) {
  const std::vector<Entry> entries = {
      {.name = "crc.xml", .data = "bad checksum", .crc = 7},
      {.name = "bzip2.xml", .data = "unknown method", .method = 12},
      {.name = "header.xml", .data = "x", .localMethod = 0},
      {.name = "cut.xml", .data = std::string(5000, 'c'), .truncateDataTo = 5},
      // Claims far more than its few bytes could inflate to; no memory is given to the claim.
      {.name = "bomb.xml", .data = "tiny", .uncompressedSize = 0xFFFFFFF0},
      {.name = "good.xml", .data = "good"},
  };
  auto archive = ZipArchive::Open(Archive(BuildZip(entries)));
  ASSERT_NE(archive, nullptr);
  for (const char* name : {"crc.xml", "bzip2.xml", "header.xml", "cut.xml", "bomb.xml"}) {
    EXPECT_EQ(archive->ReadItem(name), std::nullopt) << name;
  }
  EXPECT_EQ(archive->ReadItem("good.xml"), "good");
}

TEST_F(ZipArchiveRead, ADamagedDirectoryIsNoArchive) {
  std::string bytes = BuildZip({{.name = "a.xml", .data = "a"}, {.name = "b.xml", .data = "b"}});
  bytes[bytes.rfind(std::string("PK\x01\x02", 4)) + 3] = 0;
  EXPECT_EQ(ZipArchive::Open(Archive(bytes)), nullptr);
}

}  // namespace
