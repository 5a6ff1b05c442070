// Removing a folder tree on every platform: dot folders that stop it, what cannot be listed, depth.
#include "removal/folder_tree.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"

namespace {

using testing_support::TempFolder;

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
