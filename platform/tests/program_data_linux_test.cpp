#include "platform/program_data.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "testing/temp_folder.h"

using namespace platform;

namespace {

class ProgramDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* home = std::getenv("HOME");
    savedHome_ = home ? home : "";
    hadHome_ = home != nullptr;
    setenv("XDG_DATA_HOME", (root_.path() + "/data").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_DATA_HOME");
    if (hadHome_) setenv("HOME", savedHome_.c_str(), 1);
  }
  testing_support::TempFolder root_;
  std::string savedHome_;
  bool hadHome_ = false;
};

TEST_F(ProgramDataTest, AnInstallInTheUsersOwnFolderKeepsItsFilesBesideItself) {
  std::string program = root_.File("install");
  ASSERT_TRUE(MakeFolderTree(program));
  EXPECT_TRUE(MayWriteBeside(program));
  EXPECT_EQ(ProgramDataFolder(program, "Vymera"), program);
  EXPECT_FALSE(IsFolder(root_.File("data/Vymera")));  // nothing made that is not used
}

TEST_F(ProgramDataTest, ThePackagesFolderSendsTheFilesToTheUsersDataFolderEvenForRoot) {
  // Under /usr the package manager owns the folder, whoever runs the program, root included.
  EXPECT_FALSE(MayWriteBeside("/usr/lib/vymera"));
  EXPECT_FALSE(MayWriteBeside("/usr"));
  std::string folder = ProgramDataFolder("/usr/lib/vymera", "Vymera");
  EXPECT_EQ(folder, root_.File("data/Vymera"));
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  // A second start finds it in place.
  EXPECT_EQ(ProgramDataFolder("/usr/lib/vymera", "Vymera"), folder);
  // A folder merely named like one under /usr is the user's own.
  std::string lookalike = root_.File("usrlocal");
  ASSERT_TRUE(MakeFolderTree(lookalike));
  EXPECT_TRUE(MayWriteBeside(lookalike));
}

TEST_F(ProgramDataTest, AMissingOrRelativeFolderIsNotWrittenBeside) {
  EXPECT_FALSE(MayWriteBeside(root_.File("missing")));
  EXPECT_FALSE(MayWriteBeside("relative/folder"));
  EXPECT_FALSE(MayWriteBeside(""));
  EXPECT_EQ(ProgramDataFolder(root_.File("missing"), "Vymera"), root_.File("data/Vymera"));
}

TEST_F(ProgramDataTest, AFolderTheUserMayNotWriteIsNotWrittenBeside) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into a folder whatever its mode says";
  std::string locked = root_.File("locked");
  ASSERT_TRUE(MakeFolderTree(locked));
  ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
  EXPECT_FALSE(MayWriteBeside(locked));
  EXPECT_EQ(ProgramDataFolder(locked, "Vymera"), root_.File("data/Vymera"));
  chmod(locked.c_str(), 0755);
}

TEST_F(ProgramDataTest, WithoutAnyHomeThereIsNoDataFolder) {
  unsetenv("XDG_DATA_HOME");
  unsetenv("HOME");
  EXPECT_EQ(ProgramDataFolder("/usr/lib/vymera", "Vymera"), "");
  setenv("HOME", root_.File("home").c_str(), 1);
  EXPECT_EQ(ProgramDataFolder("/usr/lib/vymera", "Vymera"), root_.File("home/.local/share/Vymera"));
}

}  // namespace
