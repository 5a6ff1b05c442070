#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "platform/program_data.h"
#include "platform/special_folders.h"
#include "testing/temp_folder.h"

using namespace platform;

namespace {

TEST(ProgramDataWindows, AFolderTheUserWritesKeepsTheFilesBesideThePrograms) {
  testing_support::TempFolder root;
  std::string program = root.File("install");
  ASSERT_TRUE(MakeFolderTree(program));
  EXPECT_TRUE(MayWriteBeside(program));
  EXPECT_EQ(ProgramDataFolder(program, "Vymera"), program);
  // Asking left nothing behind.
  EXPECT_TRUE(RemoveDirectoryW(std::filesystem::path(program).wstring().c_str())) << "the folder is not empty";
}

TEST(ProgramDataWindows, TheSystemsProgramFoldersSendTheFilesToTheUsersFolder) {
  std::string data = JoinPath(DataHome(), "Vymera");
  for (const char* folder : {"C:/Program Files/Vymera", "c:\\program files\\Vymera", "C:/Program Files (x86)/Vymera",
                             "C:/windows", "C:/Windows/System32"}) {
    EXPECT_FALSE(MayWriteBeside(folder)) << folder;
  }
  EXPECT_EQ(ProgramDataFolder("C:/Program Files/Vymera", "Vymera"), data);
  EXPECT_TRUE(IsFolder(data));
  // A folder only named like one of them is the user's own.
  testing_support::TempFolder root;
  std::string lookalike = root.File("Program Files");
  ASSERT_TRUE(MakeFolderTree(lookalike));
  EXPECT_TRUE(MayWriteBeside(lookalike));
}

TEST(ProgramDataWindows, AMissingOrRelativeFolderIsNotWrittenBeside) {
  testing_support::TempFolder root;
  EXPECT_FALSE(MayWriteBeside(root.File("missing")));
  EXPECT_FALSE(MayWriteBeside("relative/folder"));
  EXPECT_FALSE(MayWriteBeside("C:relative"));
  EXPECT_FALSE(MayWriteBeside(""));
  EXPECT_EQ(ProgramDataFolder(root.File("missing"), "Vymera"), JoinPath(DataHome(), "Vymera"));
}

}  // namespace
