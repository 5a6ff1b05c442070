// What only Windows has: drive-letter targets, the item's attributes and its three times on the
// file, and opening beneath a folder handle one component at a time.
#include <windows.h>
// After windows.h.
#include <winternl.h>

#include <cerrno>

#include "common/zip/item_path.h"
#include "common/zip/item_path_windows.h"
#include "common/zip/zip_extractor.h"
#include "platform/wide_text.h"
#include "zip_test_writer.h"

namespace {

namespace fs = std::filesystem;
using platform::ReadWholeFile;
using zip_test::BuildZip;
using zip_test::Entry;

class ZipOnWindows : public zip_test::InTempFolder {};

DWORD AttributesOf(const std::string& path) { return GetFileAttributesW(platform::Widen(path).c_str()); }

// Seconds since 1970 of a file time.
std::int64_t SecondsOf(const FILETIME& time) {
  const std::int64_t ticks = (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return ticks / 10000000 - 11644473600;
}

TEST(ZipTargets, DriveLetterTargetsAreAbsoluteOnlyWithTheirRoot) {
  EXPECT_TRUE(zip::IsAbsoluteTarget("C:/Program Files/Vymera/res/a.png"));
  EXPECT_TRUE(zip::IsAbsoluteTarget("d:\\res\\a.png"));
  EXPECT_TRUE(zip::IsAbsoluteTarget("//server/share/a.png"));
  EXPECT_TRUE(zip::IsAbsoluteTarget("/res/a.png"));
  // The current folder of drive C, wherever that is: no target to unpack to.
  EXPECT_FALSE(zip::IsAbsoluteTarget("C:a.png"));
  EXPECT_FALSE(zip::IsAbsoluteTarget("C:"));
  EXPECT_FALSE(zip::IsAbsoluteTarget("res/a.png"));
}

TEST_F(ZipOnWindows, FilesTakeTheItemsAttributesAndTimes) {
  const std::string times = zip_test::ExtendedTimestamp(0x07, {1300000000, 1400000000, 1200000000});
  const std::vector<Entry> entries = {
      {.name = "hidden.txt", .data = "h", .versionMadeBy = zip_test::kMadeOnDos, .externalAttributes = 0x22},
      {.name = "system.txt", .data = "s", .versionMadeBy = zip_test::kMadeOnDos, .externalAttributes = 0x04 | 0x01},
      {.name = "plain.txt", .data = "p", .localExtra = times},
  };
  EXPECT_EQ(ExtractAll(Archive(BuildZip(entries))), std::vector<ZipResult>(3, ZipResult::kOk));
  // Wine shows every file with the archive attribute, so only the others are compared.
  const DWORD kShown = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  // From a DOS tool every item is read-only.
  EXPECT_EQ(AttributesOf(Work("hidden.txt")) & (kShown | FILE_ATTRIBUTE_ARCHIVE),
            static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(AttributesOf(Work("system.txt")) & kShown,
            static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(AttributesOf(Work("plain.txt")) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
  EXPECT_EQ(ReadWholeFile(Work("hidden.txt")), "h");

  HANDLE file = CreateFileW(platform::Widen(Work("plain.txt")).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME created{}, accessed{}, written{};
  ASSERT_TRUE(GetFileTime(file, &created, &accessed, &written));
  CloseHandle(file);
  EXPECT_EQ(SecondsOf(written), 1300000000);
  EXPECT_EQ(SecondsOf(accessed), 1400000000);
}

TEST_F(ZipOnWindows, AReadOnlyFileInTheWayIsNotReplaced) {
  ASSERT_TRUE(platform::WriteFileAtomically(Work("locked.txt"), "kept"));
  ASSERT_TRUE(SetFileAttributesW(platform::Widen(Work("locked.txt")).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(ExtractAll(Archive(BuildZip({{.name = "locked.txt", .data = "new"}}))),
            std::vector<ZipResult>{ZipResult::kOpenFailed});
  EXPECT_EQ(ReadWholeFile(Work("locked.txt")), "kept");
  SetFileAttributesW(platform::Widen(Work("locked.txt")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ZipOnWindows, OneComponentAtATimeBelowAHeldFolder) {
  fs::create_directories(Work("a/b"));
  platform::UniqueFd base = zip::OpenFolder(Work(""));
  ASSERT_TRUE(base);
  EXPECT_TRUE(zip::EnterFolder(base.get(), "a"));
  // Case does not tell names apart here.
  EXPECT_TRUE(zip::EnterFolder(base.get(), "A"));
  for (const char* name : {"a/b", "a\\b", "..", ".", ""}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(zip::EnterFolder(base.get(), name));
    EXPECT_EQ(errno, EINVAL);
  }
  EXPECT_FALSE(zip::EnterFolder(base.get(), "missing"));
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(zip::MakeFolderAt(base.get(), "a"));
  EXPECT_EQ(errno, EEXIST);
  platform::UniqueFd file =
      zip::OpenBeneath(base.get(), "a/b/new.txt", FILE_WRITE_DATA, 0, FILE_CREATE, FILE_NON_DIRECTORY_FILE);
  EXPECT_TRUE(file);
  file.Close();
  EXPECT_TRUE(fs::is_regular_file(Work("a/b/new.txt")));
  EXPECT_FALSE(zip::EnterFolder(base.get(), "a/b/new.txt"));
  EXPECT_FALSE(zip::OpenBeneath(base.get(), "a/b/new.txt/x", FILE_WRITE_DATA, 0, FILE_CREATE, 0));
  EXPECT_EQ(errno, ENOTDIR);
}

TEST_F(ZipOnWindows, AJunctionOnTheWayIsNotEntered) {
  fs::create_directory(Path("outside"));
  fs::create_directory(Work("res"));
  if (!zip_test::MakeFolderLink(Path("outside"), Work("res/skin"))) GTEST_SKIP() << zip_test::kNoLinks;
  platform::UniqueFd base = zip::OpenFolder(Work(""));
  platform::UniqueFd res = zip::EnterFolder(base.get(), "res");
  ASSERT_TRUE(res);
  EXPECT_FALSE(zip::EnterFolder(res.get(), "skin"));
  EXPECT_EQ(errno, ELOOP);
  ZipExtractor zip;
  ASSERT_EQ(zip.OpenArchive(Archive(BuildZip({{.name = "skin/a.png", .data = "png"}}))), ZipResult::kOk);
  EXPECT_EQ(zip.ExtractItem(0, "res/skin/a.png"), ZipResult::kOpenFailed);
  EXPECT_EQ(zip.ExtractItem(0, Work("res/skin/a.png")), ZipResult::kOpenFailed);
  EXPECT_TRUE(fs::is_empty(Path("outside")));
}

}  // namespace
