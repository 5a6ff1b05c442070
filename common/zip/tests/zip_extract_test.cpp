// Extracting items to disk on every platform: folders are made where they belong, nothing leaves the
// base folder (neither by its name nor through a link), and damaged data is reported.
#include "common/zip/zip_archive.h"
#include "common/zip/zip_extractor.h"
#include "zip_test_writer.h"

namespace {

namespace fs = std::filesystem;
using zip_test::BuildZip;
using zip_test::Entry;
using platform::ReadWholeFile;

class ZipExtract : public zip_test::InTempFolder {};

TEST_F(ZipExtract, ItemsFromDosToolsComeOutReadOnly) {
  const std::vector<Entry> entries = {
      {.name = "DOS.TXT", .data = "from dos", .versionMadeBy = zip_test::kMadeOnDos, .externalAttributes = 0x20},
      {.name = "unix.txt", .data = "from unix"},
      {.name = "locked.txt", .data = "locked", .externalAttributes = zip_test::kUnixFile0444}};
  for (ZipResult result : ExtractAll(Archive(BuildZip(entries)))) EXPECT_EQ(result, ZipResult::kOk);
  EXPECT_EQ(ReadWholeFile(Work("DOS.TXT")), "from dos");
  EXPECT_EQ(fs::status(Work("DOS.TXT")).permissions() & fs::perms::all & ~fs::perms::others_all & ~fs::perms::group_all,
            fs::perms::owner_read);
  EXPECT_EQ(fs::status(Work("locked.txt")).permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_NE(fs::status(Work("unix.txt")).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(ZipExtract, ReplacingAFileWithAReadOnlyItemTakesItsWriteBits) {
  ASSERT_TRUE(platform::WriteFileAtomically(Work("old.txt"), "an older and longer text"));
  const std::vector<Entry> entries = {{.name = "old.txt", .data = "new", .externalAttributes = zip_test::kUnixFile0444}};
  EXPECT_EQ(ExtractAll(Archive(BuildZip(entries))), std::vector<ZipResult>{ZipResult::kOk});
  EXPECT_EQ(ReadWholeFile(Work("old.txt")), "new");
  EXPECT_EQ(fs::status(Work("old.txt")).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(ZipExtract, RelativeTargetsGetTheirFoldersUnderTheBaseFolder) {
  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(Archive(BuildZip({{.name = "c.txt", .data = "deep"}, {.name = "d.txt", .data = "d"}}))),
            ZipResult::kOk);
  EXPECT_EQ(zip.ExtractItem(0, "a/b/c.txt"), ZipResult::kOk);
  EXPECT_EQ(ReadWholeFile(Work("a/b/c.txt")), "deep");
  EXPECT_EQ(zip.ExtractItem(1, "x\\y\\d.txt"), ZipResult::kOk);
  EXPECT_EQ(ReadWholeFile(Work("x/y/d.txt")), "d");
  // The base folder is the one current at opening, also when the process moves on afterwards.
  fs::current_path(Path(""));
  EXPECT_EQ(zip.ExtractItem(0, "later/c.txt"), ZipResult::kOk);
  EXPECT_EQ(ReadWholeFile(Work("later/c.txt")), "deep");
  EXPECT_FALSE(fs::exists(Path("later")));
}

TEST_F(ZipExtract, AbsoluteTargetsMustHaveTheirFolder) {
  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(Archive(BuildZip({{.name = "c.txt", .data = "abs"}}))), ZipResult::kOk);
  EXPECT_EQ(zip.ExtractItem(0, Path("missing/c.txt")), ZipResult::kOpenFailed);
  EXPECT_FALSE(fs::exists(Path("missing")));
  // Where the installer writes: an absolute target in a folder that exists.
  EXPECT_EQ(zip.ExtractItem(0, Path("c.txt")), ZipResult::kOk);
  EXPECT_EQ(ReadWholeFile(Path("c.txt")), "abs");
}

TEST_F(ZipExtract, DirectoryItemsBecomeFoldersWithTheirParents) {
  const std::vector<Entry> entries = {
      {.name = "skin/images/", .data = "", .method = 0, .externalAttributes = (040755u << 16) | 0x10},
      {.name = "dos\\sub\\", .data = "", .method = 0, .versionMadeBy = zip_test::kMadeOnDos, .externalAttributes = 0x10},
      {.name = "dos\\sub\\f.txt", .data = "in dos folder"},
  };
  EXPECT_EQ(ExtractAll(Archive(BuildZip(entries))), std::vector<ZipResult>(3, ZipResult::kOk));
  EXPECT_TRUE(fs::is_directory(Work("skin/images")));
  EXPECT_TRUE(fs::is_directory(Work("dos/sub")));
  // A folder from a DOS tool is read-only by its attribute, but must still take its files.
  EXPECT_EQ(ReadWholeFile(Work("dos/sub/f.txt")), "in dos folder");
  // A directory item whose place is taken by a file cannot be made, and says so.
  ZipExtractor zip;
  platform::WriteFileAtomically(Work("taken"), "file");
  ASSERT_EQ(zip.OpenArchive(Archive(BuildZip({{.name = "taken/", .data = "", .method = 0,
                                               .externalAttributes = 040755u << 16}}), "taken.zip")),
            ZipResult::kOk);
  EXPECT_EQ(zip.ExtractItem(0, "taken/"), ZipResult::kOpenFailed);
}

TEST_F(ZipExtract, RefusesNamesThatLeaveTheBaseFolder) {
  const std::uint32_t folder = 040755u << 16;
  const std::vector<Entry> entries = {
      {.name = "../up.txt", .data = "x"},
      {.name = "ok/../../up2.txt", .data = "x"},
      {.name = "..\\up3.txt", .data = "x"},
      {.name = Path("abs.txt"), .data = "x"},
      {.name = "\\rooted.txt", .data = "x"},
      {.name = "C:\\drive.txt", .data = "x"},
      {.name = "../upfolder/", .data = "", .method = 0, .externalAttributes = folder},
      {.name = Path("absfolder") + "/", .data = "", .method = 0, .externalAttributes = folder},
      {.name = "a/..", .data = "", .method = 0, .externalAttributes = folder},
      {.name = "fine/..name.txt", .data = "dots inside a name are fine"},
  };
  std::vector<ZipResult> expected(entries.size() - 1, ZipResult::kOpenFailed);
  expected.push_back(ZipResult::kOk);
  EXPECT_EQ(ExtractAll(Archive(BuildZip(entries))), expected);
  EXPECT_EQ(Tree(Path("")), (std::vector<std::string>{"test.zip", "work", "work/fine", "work/fine/..name.txt"}));
}

// Names a Windows system takes for a device, a stream or a shorter name are refused on every
// platform, stored names and targets alike, before any folder on their way is made.
TEST_F(ZipExtract, RefusesNamesWindowsTakesForSomethingElse) {
  const std::vector<Entry> entries = {
      {.name = "CON", .data = "x"},
      {.name = "skin/aux.png", .data = "x"},
      {.name = "Com1.txt", .data = "x"},
      {.name = "lpt9", .data = "x"},
      {.name = "dots./a.txt", .data = "x"},
      {.name = "space /a.txt", .data = "x"},
      {.name = "name.txt.", .data = "x"},
      {.name = "file.txt:stream", .data = "x"},
      {.name = "dir\\nul\\", .data = "", .method = 0, .versionMadeBy = zip_test::kMadeOnDos, .externalAttributes = 0x10},
      {.name = "console.txt", .data = "names that only begin like a device are fine"},
  };
  std::vector<ZipResult> expected(entries.size() - 1, ZipResult::kOpenFailed);
  expected.push_back(ZipResult::kOk);
  EXPECT_EQ(ExtractAll(Archive(BuildZip(entries))), expected);
  EXPECT_EQ(Tree(Work("")), std::vector<std::string>{"console.txt"});

  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(Archive(BuildZip({{.name = "t.txt", .data = "x"}}), "targets.zip")), ZipResult::kOk);
  for (const std::string& target : {std::string("aux.txt"), std::string("new/prn/t.txt"), std::string("new./t.txt"),
                                    std::string("t.txt:hidden"), Work("t.txt:hidden"), Work("t.txt::$DATA")}) {
    SCOPED_TRACE(target);
    EXPECT_EQ(zip.ExtractItem(0, target), ZipResult::kOpenFailed);
  }
  EXPECT_EQ(Tree(Work("")), std::vector<std::string>{"console.txt"});
}

TEST_F(ZipExtract, RefusesTargetsThatClimbOut) {
  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(Archive(BuildZip({{.name = "t.txt", .data = "x"}}))), ZipResult::kOk);
  EXPECT_EQ(zip.ExtractItem(0, "../t.txt"), ZipResult::kOpenFailed);
  EXPECT_EQ(zip.ExtractItem(0, "a\\..\\..\\t.txt"), ZipResult::kOpenFailed);
  EXPECT_EQ(zip.ExtractItem(0, Work("../t.txt")), ZipResult::kOpenFailed);
  EXPECT_EQ(zip.ExtractItem(0, "D:t.txt"), ZipResult::kOpenFailed);
  EXPECT_EQ(zip.ExtractItem(0, std::string("t.txt\0/../x", 11)), ZipResult::kOpenFailed);
  EXPECT_EQ(Tree(Path("")), (std::vector<std::string>{"test.zip", "work"}));
}

TEST_F(ZipExtract, ALinkWhereAnItemGoesIsNotWrittenThrough) {
  ASSERT_TRUE(platform::WriteFileAtomically(Path("secret.txt"), "keep"));
  if (!zip_test::MakeFileLink(Path("secret.txt"), Work("over.txt"))) GTEST_SKIP() << zip_test::kNoLinks;
  EXPECT_EQ(ExtractAll(Archive(BuildZip({{.name = "over.txt", .data = "overwritten"}}))),
            std::vector<ZipResult>{ZipResult::kOpenFailed});
  EXPECT_EQ(ReadWholeFile(Path("secret.txt")), "keep");
  EXPECT_TRUE(zip_test::IsLink(Work("over.txt")));
}

TEST_F(ZipExtract, FolderLinksOnTheWayAreNotWrittenThrough) {
  fs::create_directory(Path("outside"));
  if (!zip_test::MakeFolderLink(Path("outside"), Work("skin"))) GTEST_SKIP() << zip_test::kNoLinks;
  fs::create_directory(Work("deep"));
  ASSERT_TRUE(zip_test::MakeFolderLink(Path("outside"), Work("deep/link")));
  const std::vector<Entry> entries = {
      {.name = "skin/a.png", .data = "through a link in the base folder"},
      {.name = "deep/link/sub/b.txt", .data = "through a link further down"},
      {.name = "skin/new/", .data = "", .method = 0, .externalAttributes = 040755u << 16},
  };
  EXPECT_EQ(ExtractAll(Archive(BuildZip(entries))), std::vector<ZipResult>(3, ZipResult::kOpenFailed));
  // The installer's way: absolute targets, the item's name below a folder of the caller's.
  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(Archive(BuildZip(entries), "absolute.zip")), ZipResult::kOk);
  EXPECT_EQ(zip.ExtractItem(0, Work("skin/a.png")), ZipResult::kOpenFailed);
  EXPECT_TRUE(fs::is_empty(Path("outside")));
  EXPECT_TRUE(zip_test::IsLink(Work("skin")));
}

// Folders are made once and kept open for the items that follow in them: what happens to a kept
// folder between two items must neither send an item through a link nor lose it.
TEST_F(ZipExtract, KeptFoldersChangedBetweenItemsAreNeitherWrittenThroughNorLost) {
  fs::create_directory(Path("outside"));
  const std::string archive = Archive(BuildZip({{.name = "skin/a.png", .data = "first"},
                                                {.name = "skin/b.png", .data = "second"},
                                                {.name = "gone/c.txt", .data = "third"},
                                                {.name = "gone/d.txt", .data = "fourth"}}));
  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(archive), ZipResult::kOk);
  // A folder removed after its first item is made again for the next.
  ASSERT_EQ(zip.ExtractItem(2, "gone/c.txt"), ZipResult::kOk);
  fs::remove_all(Work("gone"));
  EXPECT_EQ(zip.ExtractItem(3, "gone/d.txt"), ZipResult::kOk);
  EXPECT_EQ(ReadWholeFile(Work("gone/d.txt")), "fourth");
  // The folder is moved away and a link to the outside put in its place.
  ASSERT_EQ(zip.ExtractItem(0, "skin/a.png"), ZipResult::kOk);
  fs::rename(Work("skin"), Path("moved"));
  if (!zip_test::MakeFolderLink(Path("outside"), Work("skin"))) GTEST_SKIP() << zip_test::kNoLinks;
  EXPECT_EQ(zip.ExtractItem(1, "skin/b.png"), ZipResult::kOpenFailed);
  EXPECT_TRUE(fs::is_empty(Path("outside")));
  EXPECT_FALSE(fs::exists(Path("moved/b.png")));
  // A link in place of a removed folder is not entered when the path is walked again.
  fs::remove_all(Work("gone"));
  ASSERT_TRUE(zip_test::MakeFolderLink(Path("outside"), Work("gone")));
  EXPECT_EQ(zip.ExtractItem(3, "gone/d.txt"), ZipResult::kOpenFailed);
  EXPECT_TRUE(fs::is_empty(Path("outside")));
}

TEST_F(ZipExtract, ManyFoldersPastTheKeptOnesAllReceiveTheirItems) {
  std::vector<Entry> entries;
  // Twice round more folders than are kept open at once, deepening as they go.
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 150; ++i) {
      entries.push_back({.name = "f" + std::to_string(i % 75) + "/s" + std::to_string(i) + "/r" +
                                 std::to_string(round) + ".txt",
                         .data = std::to_string(i * 10 + round)});
    }
  }
  const std::vector<ZipResult> results = ExtractAll(Archive(BuildZip(entries)));
  EXPECT_EQ(results, std::vector<ZipResult>(entries.size(), ZipResult::kOk));
  for (const Entry& entry : entries) EXPECT_EQ(ReadWholeFile(Work(entry.name)), entry.data) << entry.name;
}

TEST_F(ZipExtract, TheFolderACallerNamesMayBeReachedThroughALink) {
  // A program folder below a linked home folder is the caller's choice, not the archive's.
  fs::create_directories(Path("real/res/skin"));
  if (!zip_test::MakeFolderLink(Path("real"), Path("alias"))) GTEST_SKIP() << zip_test::kNoLinks;
  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(Archive(BuildZip({{.name = "skin/a.png", .data = "png"}}))), ZipResult::kOk);
  EXPECT_EQ(zip.ExtractItem(0, Path("alias/res/skin/a.png")), ZipResult::kOk);
  EXPECT_EQ(zip.ExtractItem(0, Path("alias/res/renamed.png")), ZipResult::kOk);
  EXPECT_EQ(ReadWholeFile(Path("real/res/skin/a.png")), "png");
  EXPECT_EQ(ReadWholeFile(Path("real/res/renamed.png")), "png");
}

TEST_F(ZipExtract, ItemsLaidOverAnothersBytesAreRefusedAndNothingOfThemIsWritten) {
  // Directory entries on one local header: the way a small archive unpacks one piece of data again
  // and again. Names of one length pass the local header check.
  const std::string data(5000, 'a');
  const std::vector<Entry> shared = {
      {.name = "a1.txt", .data = data},
      {.name = "a2.txt", .data = data, .localHeaderOffset = 0},
      {.name = "a3.txt", .data = data, .localHeaderOffset = 0},
      {.name = "alone.txt", .data = "alone"},
  };
  std::vector<ZipResult> expected(3, ZipResult::kDataError);
  expected.push_back(ZipResult::kOk);
  EXPECT_EQ(ExtractAll(Archive(BuildZip(shared))), expected);
  EXPECT_EQ(Tree(Work("")), std::vector<std::string>{"alone.txt"});
  auto archive = ZipArchive::Open(Path("test.zip"));
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->ReadItem("a2.txt"), std::nullopt);
  EXPECT_EQ(archive->ReadItem("alone.txt"), "alone");

  // An entry whose local header sits inside the stored data of another.
  const std::vector<Entry> quoted = {
      {.name = "outer.txt", .data = zip_test::LocalRecord("b.txt", "inner"), .method = 0},
      {.name = "b.txt", .data = "inner", .method = 0, .localHeaderOffset = 30 + 9},
  };
  EXPECT_EQ(ExtractAll(Archive(BuildZip(quoted), "quoted.zip")), std::vector<ZipResult>(2, ZipResult::kDataError));
  EXPECT_EQ(Tree(Work("")), std::vector<std::string>{"alone.txt"});
}

TEST_F(ZipExtract, DamagedDataIsReportedAndTheArchiveStaysUsable) {
  const std::vector<Entry> entries = {
      {.name = "crc.txt", .data = "checksum does not match", .crc = 0x12345678},
      {.name = "stored-crc.txt", .data = "stored too", .method = 0, .crc = 1},
      {.name = "cut.txt", .data = std::string(100000, 'c') + "tail", .truncateDataTo = 40},
      {.name = "short.txt", .data = "short", .uncompressedSize = 9},
      {.name = "long.txt", .data = "longer than its record says", .uncompressedSize = 6},
      {.name = "secret.txt", .data = "not really encrypted", .flags = 0x0001},
      {.name = "stored-size.txt", .data = "abc", .method = 0, .uncompressedSize = 2},
      {.name = "good.txt", .data = "fine"},
  };
  std::vector<ZipResult> expected(entries.size() - 1, ZipResult::kDataError);
  expected.push_back(ZipResult::kOk);
  EXPECT_EQ(ExtractAll(Archive(BuildZip(entries))), expected);
  EXPECT_EQ(ReadWholeFile(Work("good.txt")), "fine");
  // The damaged data was written as far as it came out.
  EXPECT_EQ(ReadWholeFile(Work("crc.txt")), "checksum does not match");
}

TEST_F(ZipExtract, RefusedItemsLeaveNoFileBehindAndOverwriteNothing) {
  ASSERT_TRUE(platform::WriteFileAtomically(Work("kept.txt"), "the file that was there"));
  const std::vector<Entry> entries = {
      {.name = "secret.txt", .data = "not really encrypted", .flags = 0x0001},
      {.name = "kept.txt", .data = "encrypted over an existing file", .flags = 0x0001},
      {.name = "stored-size.txt", .data = "abc", .method = 0, .uncompressedSize = 2},
  };
  EXPECT_EQ(ExtractAll(Archive(BuildZip(entries))), std::vector<ZipResult>(3, ZipResult::kDataError));
  EXPECT_EQ(Tree(Work("")), std::vector<std::string>{"kept.txt"});
  EXPECT_EQ(ReadWholeFile(Work("kept.txt")), "the file that was there");
}

// Highly compressible data (a uniform picture, repetitive markup) deflates to so few bytes that the
// whole input is taken in long before the output is out; the sizes sit around the read buffer's
// 16 KiB and multiples of it, where the last window of output used to be lost, and around the 64 KiB
// an inflated item is delivered in.
TEST_F(ZipExtract, HighlyCompressibleItemsComeOutWhole) {
  std::string text;
  while (text.size() < 300000) text += "<Item name=\"row\" value=\"0\"/>\n";
  std::vector<Entry> entries;
  for (std::size_t size : {16383u, 16384u, 16385u, 16484u, 65535u, 65536u, 65537u, 131073u, 262143u, 262144u,
                           262145u, 262304u, 1048575u, 1048576u, 1048577u, 1048653u}) {
    entries.push_back({.name = "zeros-" + std::to_string(size), .data = std::string(size, '\0')});
  }
  for (std::size_t size : {16385u, 262304u}) {
    entries.push_back({.name = "text-" + std::to_string(size), .data = text.substr(0, size)});
  }
  const std::vector<ZipResult> results = ExtractAll(Archive(BuildZip(entries)));
  ASSERT_EQ(results.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(entries[i].name);
    EXPECT_EQ(results[i], ZipResult::kOk);
    EXPECT_TRUE(ReadWholeFile(Work(entries[i].name)) == entries[i].data);
  }
}

TEST_F(ZipExtract, TargetsThatCannotBeWrittenFailToOpen) {
  fs::create_directory(Work("folder.txt"));
  platform::WriteFileAtomically(Work("file"), "a file where a folder belongs");
  const std::vector<Entry> entries = {{.name = "folder.txt", .data = "x"}, {.name = "file/inside.txt", .data = "y"}};
  EXPECT_EQ(ExtractAll(Archive(BuildZip(entries))), std::vector<ZipResult>(2, ZipResult::kOpenFailed));
  EXPECT_EQ(ReadWholeFile(Work("file")), "a file where a folder belongs");
}

}  // namespace
