// Removing a folder tree: read-only content, dot folders that stop it, links never followed.
#include "removal/folder_tree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/paths.h"
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

TEST(RemoveFolderTree, ADotFolderIsSkippedSoTheFolderStays) {
  TempFolder folder;
  std::string tree = folder.File("res");
  ASSERT_TRUE(platform::MakeFolderTree(tree + "/.keep"));
  platform::WriteFileAtomically(tree + "/.keep/inside", "x");
  platform::WriteFileAtomically(tree + "/a.png", "x");
  EXPECT_FALSE(RemoveFolderTree(tree));
  EXPECT_FALSE(platform::PathExists(tree + "/a.png"));
  EXPECT_TRUE(platform::PathExists(tree + "/.keep/inside"));
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

TEST(RemoveFolderTree, WhatCannotBeListedFails) {
  TempFolder folder;
  EXPECT_FALSE(RemoveFolderTree(folder.File("missing")));
  EXPECT_FALSE(RemoveFolderTree(""));
  platform::WriteFileAtomically(folder.File("file"), "x");
  EXPECT_FALSE(RemoveFolderTree(folder.File("file")));
  EXPECT_TRUE(RemoveEntry(folder.File("missing")));
  EXPECT_TRUE(RemoveEntry(folder.File("file")));
}

TEST(RemoveFolderTree, TooDeepATreeIsNotRemoved) {
  TempFolder folder;
  std::string path = folder.File("res");
  for (int i = 0; i <= kMaxFolderDepth + 1; ++i) path += "/d";
  ASSERT_TRUE(platform::MakeFolderTree(path));
  EXPECT_FALSE(RemoveFolderTree(folder.File("res")));
  EXPECT_TRUE(platform::IsFolder(path));
}

}  // namespace
