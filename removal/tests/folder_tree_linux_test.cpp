// Removing a folder tree with POSIX modes and symbolic links: read-only content, links never followed.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "removal/folder_tree.h"
#include "testing/temp_folder.h"

namespace {

using testing_support::TempFolder;

TEST(RemoveFolderTree, RemovesReadOnlyFilesAndFolders) {
  TempFolder folder;
  std::string tree = folder.File("res");
  ASSERT_TRUE(platform::MakeFolderTree(tree + "/sub/deeper"));
  platform::WriteFileAtomically(tree + "/skin.xml", "x");
  platform::WriteFileAtomically(tree + "/sub/deeper/.hidden", "x");
  chmod((tree + "/skin.xml").c_str(), 0444);
  // A folder of ours without write permission is made writable to be emptied.
  chmod((tree + "/sub/deeper").c_str(), 0555);
  EXPECT_TRUE(RemoveFolderTree(tree));
  EXPECT_FALSE(platform::PathExists(tree));
}

TEST(RemoveFolderTree, LinksGoAsLinks) {
  TempFolder folder;
  std::string target = folder.File("target");
  ASSERT_TRUE(platform::MakeFolderTree(target + "/sub"));
  platform::WriteFileAtomically(target + "/sub/file", "kept");
  std::string tree = folder.File("res");
  ASSERT_TRUE(platform::MakeFolderTree(tree));
  ASSERT_EQ(symlink(target.c_str(), (tree + "/folder-link").c_str()), 0);
  ASSERT_EQ(symlink(target.c_str(), (tree + "/.dot-link").c_str()), 0);
  ASSERT_EQ(symlink("/nonexistent", (tree + "/dangling").c_str()), 0);
  EXPECT_TRUE(RemoveFolderTree(tree));
  EXPECT_FALSE(platform::PathExists(tree));
  EXPECT_EQ(platform::ReadWholeFile(target + "/sub/file"), "kept");

  // The tree itself as a link is no folder to list.
  ASSERT_EQ(symlink(target.c_str(), tree.c_str()), 0);
  EXPECT_FALSE(RemoveFolderTree(tree));
  EXPECT_TRUE(platform::PathExists(target + "/sub/file"));
  EXPECT_TRUE(RemoveEntry(tree));
  EXPECT_FALSE(platform::PathExists(tree));
  EXPECT_TRUE(platform::PathExists(target + "/sub/file"));
}

}  // namespace
