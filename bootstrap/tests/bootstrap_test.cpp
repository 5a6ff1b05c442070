// Bootwyn: a fresh private work folder per run holding the three items, the installer started from
// there in the folder Bootwyn runs in, and the message when no folder can be made.
#include "bootstrap/bootstrap.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "bootstrap/work_folder.h"
#include "installer/tests/install_rig.h"
#include "platform/file_io.h"
#include "toolkit/testing/headless_fixture.h"

using installer_testing::Environment;
using installer_testing::Mode;
using installer_testing::Read;
using testing_support::TempFolder;

namespace {

// What the stand-in installer wrote once it ran; empty after five seconds without it.
std::string StartedIn(const std::string& workFolder) {
  for (int i = 0; i < 500; ++i) {
    if (auto text = platform::ReadWholeFile(workFolder + "/started")) return *text;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

class Bootwyn : public toolkit_testing::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    toolkit::headless::Desktop().Reset();
    env_.Set("TMPDIR", temp_.path());
  }
  BootPlaces Places() const { return BootPlaces{TemporaryFolder(), start_.path()}; }

  Environment env_;
  TempFolder temp_;
  TempFolder start_;
};

TEST_F(Bootwyn, EachRunWritesAFreshFolderAndStartsTheInstallerThere) {
  BootResult first = RunBootwyn(Places());
  BootResult second = RunBootwyn(Places());
  ASSERT_FALSE(first.workFolder.empty());
  ASSERT_FALSE(second.workFolder.empty());
  EXPECT_NE(first.workFolder, second.workFolder);
  for (const BootResult& run : {first, second}) {
    EXPECT_EQ(run.workFolder.substr(0, temp_.path().size() + 1), temp_.path() + "/");
    EXPECT_TRUE(run.started);
    EXPECT_EQ(Mode(run.workFolder), 0700);
    EXPECT_EQ(Read(run.workFolder + "/" VYMERA_TOOLKIT_FILE), "toolkit stand-in\n");
    EXPECT_EQ(Read(run.workFolder + "/setupres.zip"), "skins stand-in\n");
    EXPECT_EQ(Mode(run.workFolder + "/VymeraSetup"), 0755);
    // The installer runs in Bootwyn's current folder, not in its own.
    EXPECT_EQ(StartedIn(run.workFolder), start_.path() + "\n");
  }
  EXPECT_TRUE(toolkit::headless::Desktop().MessageBoxes().empty());
}

TEST_F(Bootwyn, NoFolderMeansTheMessageAndNothingStarted) {
  env_.Set("TMPDIR", temp_.File("missing"));
  BootResult run = RunBootwyn(Places());
  EXPECT_TRUE(run.workFolder.empty());
  EXPECT_FALSE(run.started);
  const auto& boxes = toolkit::headless::Desktop().MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "无法创建临时目录");
  EXPECT_EQ(boxes[0].caption, "安装软件");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST_F(Bootwyn, TheWorkFolderGoesWithWhatBootwynWroteAndNothingElse) {
  BootResult run = RunBootwyn(Places());
  ASSERT_FALSE(run.workFolder.empty());
  StartedIn(run.workFolder);
  // The stand-in installer left a file of its own: the folder stays with it, Bootwyn's files go.
  RemoveWorkFolder(run.workFolder, TemporaryFolder());
  EXPECT_FALSE(platform::PathExists(run.workFolder + "/VymeraSetup"));
  EXPECT_FALSE(platform::PathExists(run.workFolder + "/setupres.zip"));
  EXPECT_TRUE(platform::PathExists(run.workFolder + "/started"));
  unlink((run.workFolder + "/started").c_str());
  RemoveWorkFolder(run.workFolder, TemporaryFolder());
  EXPECT_FALSE(platform::PathExists(run.workFolder));

  // A folder that is not a work folder of the temporary folder is never touched.
  std::string other = start_.File("{ABCDEF01-234A-bcde-F01A-2B3C4D5E6F7A}");
  ASSERT_TRUE(platform::MakeFolderTree(other));
  platform::WriteFileAtomically(other + "/setupres.zip", "kept");
  RemoveWorkFolder(other, TemporaryFolder());
  EXPECT_EQ(Read(other + "/setupres.zip"), "kept");
  std::string named = temp_.File("Downloads");
  ASSERT_TRUE(platform::MakeFolderTree(named));
  platform::WriteFileAtomically(named + "/setupres.zip", "kept");
  RemoveWorkFolder(named, TemporaryFolder());
  EXPECT_EQ(Read(named + "/setupres.zip"), "kept");
}

TEST(WorkFolder, TheTemporaryFolderIsAnAbsoluteTmpdirOrTmp) {
  Environment env;
  env.Set("TMPDIR", "/var/tmp/");
  EXPECT_EQ(TemporaryFolder(), "/var/tmp");
  for (const std::string& bad : {std::string(), std::string("relative"), "/" + std::string(2000, 'x')}) {
    env.Set("TMPDIR", bad);
    EXPECT_EQ(TemporaryFolder(), "/tmp");
  }
  env.Unset("TMPDIR");
  EXPECT_EQ(TemporaryFolder(), "/tmp");
}

TEST(WorkFolder, EachNameIsNewAndAFolderThatCannotBeMadeIsReported) {
  TempFolder temp;
  WorkFolder first = MakeWorkFolder(temp.path());
  WorkFolder second = MakeWorkFolder(temp.path());
  ASSERT_EQ(first.result, WorkFolderResult::Made);
  ASSERT_EQ(second.result, WorkFolderResult::Made);
  EXPECT_NE(first.path, second.path);
  chmod(temp.path().c_str(), 0500);
  if (access(temp.path().c_str(), W_OK) != 0) {  // the superuser writes anyway
    EXPECT_EQ(MakeWorkFolder(temp.path()).result, WorkFolderResult::NotMade);
  }
  chmod(temp.path().c_str(), 0700);
}

}  // namespace
