// Paths below the folder items are unpacked into: the names refused on every platform, where a
// caller's part of a target ends, and folders made below a held one.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/zip/item_path.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"
#include "zip_test_writer.h"

namespace {

namespace fs = std::filesystem;

TEST(ZipNames, WhatWindowsTakesForSomethingElseIsRefusedEverywhere) {
  for (const char* name :
       {"CON",       "con",          "aux.txt",         "skin/Nul.png",    "PRN.tar.gz",    "COM1",     "lpt9.log",
        "com0",      "CON .txt",     "COM\u00b9.txt",   "CONOUT$",         "skin/conin$.x", "a./b.txt", "name.",
        "trailing ", "skin\\dir /x", "file.txt:stream", "file.txt::$DATA", "dir/C:x",       "..."}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(zip::HasSpecialName(name));
    EXPECT_FALSE(zip::IsContainedName(name));
  }
  for (const char* name : {"console.txt", "auxiliary/a.png", "com10.txt", "lpt.txt", "COMA", "con_", "a.b.txt",
                           ".hidden", "./skin/a.png", "skin/", "x/./y", " leading", "nul-ish/CONx"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(zip::HasSpecialName(name));
    EXPECT_TRUE(zip::IsContainedName(name));
  }
}

TEST(ZipTargetSplit, TheArchivePartIsTheItemsNameWhereTheTargetEndsInIt) {
  EXPECT_EQ(zip::ArchivePartOf("/p/res/skin/a.png", "skin/a.png"), 7u);
  EXPECT_EQ(zip::ArchivePartOf("/a.png", "a.png"), 1u);
  // Not at a folder boundary, or not the name at all: only the file's own name is the archive's.
  EXPECT_EQ(zip::ArchivePartOf("/p/res/xskin/a.png", "skin/a.png"), 13u);
  EXPECT_EQ(zip::ArchivePartOf("/p/res/renamed.png", "skin/a.png"), 7u);
  EXPECT_EQ(zip::ArchivePartOf("/p/skin/a.png", "/p/skin/a.png"), 8u);
}

TEST(ZipMakeFolders, MakesEachParentButEntersNoLink) {
  testing_support::TempFolder temp;
  fs::create_directories(temp.File("base"));
  fs::create_directories(temp.File("outside"));
  platform::UniqueFd base = zip::OpenFolder(temp.File("base"));
  ASSERT_TRUE(base);
  EXPECT_TRUE(zip::MakeFolders(base.get(), "x/y/z"));
  EXPECT_TRUE(zip::MakeFolders(base.get(), "x/y"));
  EXPECT_TRUE(fs::is_directory(temp.File("base/x/y/z")));
  ASSERT_TRUE(platform::WriteFileAtomically(temp.File("base/file"), "a file"));
  EXPECT_FALSE(zip::MakeFolders(base.get(), "file/sub"));
  EXPECT_FALSE(zip::MakeFolders(base.get(), "file"));
  if (!zip_test::MakeFolderLink(temp.File("outside"), temp.File("base/link"))) GTEST_SKIP() << zip_test::kNoLinks;
  EXPECT_FALSE(zip::MakeFolders(base.get(), "link/sub"));
  EXPECT_FALSE(zip::MakeFolders(base.get(), "link"));
  EXPECT_TRUE(fs::is_empty(temp.File("outside")));
}

}  // namespace
