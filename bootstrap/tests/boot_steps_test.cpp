// The bootstrapper without its message boxes, on every platform: the work folder, Setup started from
// it under the program's name, and what a failure tells and leaves.
#include <chrono>
#include <regex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "bootstrap/bootstrap.h"
#include "bootstrap/work_folder.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"

namespace {

using testing_support::TempFolder;

// What the stand-in installer wrote once it ran; empty after ten seconds without it.
std::string StartedIn(const std::string& workFolder) {
  for (int i = 0; i < 1000; ++i) {
    if (auto text = platform::ReadWholeFile(workFolder + "/started")) return *text;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

class BootSteps : public ::testing::Test {
 protected:
  BootResult Run(const std::string& temporary) {
    return RunBootwyn(BootPlaces{temporary, start_.path()},
                      [this](const std::string& text, bool error) { told_.emplace_back(text, error); });
  }
  TempFolder temp_;
  TempFolder start_;
  std::vector<std::pair<std::string, bool>> told_;
};

TEST_F(BootSteps, WritesTheItemsAndStartsSetupInTheStartFolder) {
  BootResult run = Run(temp_.path());
  ASSERT_TRUE(run.started);
  ASSERT_FALSE(run.workFolder.empty());
  EXPECT_TRUE(told_.empty());
  EXPECT_EQ(run.workFolder.substr(0, temp_.path().size() + 1), temp_.path() + "/");
#ifdef _WIN32
  EXPECT_TRUE(platform::PathExists(run.workFolder + "/VymeraSetup.exe"));
  EXPECT_TRUE(platform::PathExists(run.workFolder + "/DuiLib.dll"));
#endif
  EXPECT_EQ(platform::ReadWholeFile(run.workFolder + "/setupres.zip"), "skins stand-in\n");
  EXPECT_EQ(StartedIn(run.workFolder), start_.path() + "\n");

  // Setup's own leaving: Bootwyn's files go, the folder stays while something else is in it.
  RemoveWorkFolder(run.workFolder, temp_.path());
  EXPECT_FALSE(platform::PathExists(run.workFolder + "/" + bootstrap::kSetup.fileName));
  EXPECT_TRUE(platform::PathExists(run.workFolder + "/started"));
  ASSERT_TRUE(platform::RemoveFile(run.workFolder + "/started"));
  RemoveWorkFolder(run.workFolder, temp_.path());
  EXPECT_FALSE(platform::PathExists(run.workFolder));
}

TEST_F(BootSteps, NoFolderIsToldAndNothingIsStarted) {
  BootResult run = Run(temp_.File("missing"));
  EXPECT_FALSE(run.started);
  EXPECT_TRUE(run.workFolder.empty());
  ASSERT_EQ(told_.size(), 1u);
  EXPECT_EQ(told_[0], std::make_pair(std::string(bootstrap::kNoFolder), false));
}

TEST(PortableWorkFolder, TheTemporaryFolderIsAbsoluteWithoutATrailingSeparator) {
  std::string folder = TemporaryFolder();
  EXPECT_TRUE(platform::IsAbsolutePath(folder)) << folder;
  EXPECT_TRUE(platform::IsFolder(folder)) << folder;
  EXPECT_NE(folder.back(), '/');
  EXPECT_EQ(folder.find('\\'), std::string::npos) << folder;
  EXPECT_TRUE(platform::IsAbsolutePath(StartFolder()));
}

TEST(PortableWorkFolder, ANameTakenIsNeverTakenOver) {
  TempFolder temp;
  WorkFolder first = MakeWorkFolder(temp.path());
  ASSERT_EQ(first.result, WorkFolderResult::Made);
  bool taken = false;
  EXPECT_EQ(MakePrivateFolder(first.path, taken), WorkFolderResult::NotMade);
  EXPECT_TRUE(taken);
  ASSERT_TRUE(platform::WriteFileAtomically(temp.File("file"), "x"));
  taken = false;
  EXPECT_EQ(MakePrivateFolder(temp.File("file"), taken), WorkFolderResult::NotMade);
  EXPECT_TRUE(taken);
  taken = false;
  EXPECT_EQ(MakePrivateFolder(temp.File("missing/below"), taken), WorkFolderResult::NotMade);
  EXPECT_FALSE(taken);
  EXPECT_EQ(MakeWorkFolder(temp.File("missing")).result, WorkFolderResult::NotMade);
}

TEST(WorkFolder, TheNameHasTheGuidFormWithTheThirdGroupInLowerCase) {
  GuidBytes bytes{0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x4A, 0xBC, 0xDE, 0xF0, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x6F, 0x7A};
  EXPECT_EQ(GuidFolderName(bytes), "{ABCDEF01-234A-bcde-F01A-2B3C4D5E6F7A}");
  std::regex form("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9a-f]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
  for (int i = 0; i < 50; ++i) {
    std::optional<GuidBytes> guid = NewGuid();
    ASSERT_TRUE(guid);
    EXPECT_TRUE(std::regex_match(GuidFolderName(*guid), form)) << GuidFolderName(*guid);
    EXPECT_TRUE(IsGuidFolderName(GuidFolderName(*guid)));
  }
  for (const char* other : {"{ABCDEF01-234A-BCDE-F01A-2B3C4D5E6F7A}", "ABCDEF01-234A-bcde-F01A-2B3C4D5E6F7A",
                            "{ABCDEF01-234A-bcde-F01A-2B3C4D5E6F7}", "{ABCDEF01/234A-bcde-F01A-2B3C4D5E6F7A}", ""}) {
    EXPECT_FALSE(IsGuidFolderName(other)) << other;
  }
}

}  // namespace
