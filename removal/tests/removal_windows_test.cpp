// What the removal does the Windows way: a running client's file cannot be deleted, which stops the
// removal before anything goes; read-only files and folders of the tree go all the same.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "install/install_items.h"
#include "install/install_record.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/wide_text.h"
#include "removal/folder_tree.h"
#include "removal/removal.h"
#include "testing/temp_folder.h"

namespace {

using testing_support::TempFolder;
namespace items = install_items;

void MakeReadOnly(const std::string& path) {
  std::wstring wide = platform::Widen(path);
  SetFileAttributesW(wide.c_str(), GetFileAttributesW(wide.c_str()) | FILE_ATTRIBUTE_READONLY);
}

TEST(WindowsRemoval, AClientWhoseFileIsInUseStopsTheRemoval) {
  TempFolder folder;
  RemovalPlaces places;
  places.programFolder = folder.File("Vymera");
  places.windowRegistry = folder.File("registry");
  ASSERT_TRUE(platform::MakeFolderTree(places.programFolder));
  std::string client = platform::JoinPath(places.programFolder, items::kClient.fileName);
  std::string updater = platform::JoinPath(places.programFolder, items::kUpdater.fileName);
  ASSERT_TRUE(platform::WriteFileAtomically(client, "program"));
  ASSERT_TRUE(platform::WriteFileAtomically(updater, "program"));
  InstallRecord record;
  record.Add(RecordKind::File, items::kUpdater.fileName);
  record.Add(RecordKind::File, items::kClient.fileName);
  ASSERT_TRUE(record.Save(places.programFolder));

  // A running program's file is open without leave to delete it, as the loader holds it.
  HANDLE running = CreateFileW(platform::Widen(client).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(running, INVALID_HANDLE_VALUE);
  RemovalReport report = RemoveInstallation(places);
  CloseHandle(running);
  EXPECT_EQ(report.outcome, RemovalOutcome::ClientRunning);
  EXPECT_TRUE(platform::PathExists(updater));

  // Once it has ended, the removal goes through; a read-only file goes too.
  MakeReadOnly(updater);
  EXPECT_EQ(RemoveInstallation(places).outcome, RemovalOutcome::Removed);
  EXPECT_FALSE(platform::PathExists(client));
  EXPECT_FALSE(platform::PathExists(updater));
}

TEST(WindowsRemoval, AFolderTreeGoesWithItsReadOnlyFiles) {
  TempFolder folder;
  std::string tree = folder.File("res");
  ASSERT_TRUE(platform::MakeFolderTree(tree + "/sub"));
  ASSERT_TRUE(platform::WriteFileAtomically(tree + "/sub/skin.xml", "x"));
  MakeReadOnly(tree + "/sub/skin.xml");
  MakeReadOnly(tree + "/sub");
  EXPECT_TRUE(RemoveFolderTree(tree));
  EXPECT_FALSE(platform::PathExists(tree));
}

}  // namespace
