// Paths the platform's way: which are absolute, their separators, and removing files, links and
// empty folders without ever touching what a link points at.
#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"

namespace {

using namespace platform;
using testing_support::TempFolder;

TEST(Paths, AbsoluteFromTheRootOnly) {
  EXPECT_FALSE(IsAbsolutePath(""));
  EXPECT_FALSE(IsAbsolutePath("relative/x"));
#ifdef _WIN32
  EXPECT_EQ(RootLength("C:/Program Files"), 3u);
  EXPECT_EQ(RootLength("c:\\x"), 3u);
  EXPECT_EQ(RootLength("//server/share/x"), 15u);
  EXPECT_EQ(RootLength("//server/share"), 14u);
  // The current drive's root, a drive's current folder and a server without a share are relative.
  EXPECT_FALSE(IsAbsolutePath("/x"));
  EXPECT_FALSE(IsAbsolutePath("C:x"));
  EXPECT_FALSE(IsAbsolutePath("//server"));
  EXPECT_EQ(WithSeparators("C:\\a\\b/c"), "C:/a/b/c");
  // Shown to people the system's way, and read back the same.
  EXPECT_EQ(ForPeople("C:/Users/a b/AppData/Local/Programs/Vymera"), "C:\\Users\\a b\\AppData\\Local\\Programs\\Vymera");
  EXPECT_EQ(WithSeparators(ForPeople("//server/share/x")), "//server/share/x");
#else
  EXPECT_EQ(ForPeople("/home/a\\b"), "/home/a\\b");
  EXPECT_EQ(RootLength("/usr"), 1u);
  EXPECT_FALSE(IsAbsolutePath("C:/x"));
  EXPECT_EQ(WithSeparators("/a\\b"), "/a\\b");
#endif
}

TEST(Paths, RemovesFilesAndEmptyFoldersOnly) {
  TempFolder folder;
  std::string file = folder.File("file");
  ASSERT_TRUE(WriteFileAtomically(file, "x"));
  EXPECT_FALSE(IsLink(file));
  EXPECT_TRUE(RemoveFile(file));
  EXPECT_FALSE(PathExists(file));
  EXPECT_TRUE(RemoveFile(file));  // nothing there is what was asked for

  ASSERT_TRUE(MakeFolderTree(folder.File("a/b")));
  EXPECT_FALSE(RemoveFile(folder.File("a")));
  EXPECT_FALSE(RemoveEmptyFolder(folder.File("a")));
  EXPECT_TRUE(RemoveEmptyFolder(folder.File("a/b")));
  EXPECT_TRUE(RemoveEmptyFolder(folder.File("a")));
  EXPECT_FALSE(PathExists(folder.File("a")));

  EXPECT_TRUE(CanWriteIn(folder.path()));
  EXPECT_FALSE(CanWriteIn(folder.File("missing")));
}

}  // namespace
