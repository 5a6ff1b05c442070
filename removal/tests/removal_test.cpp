// Dismantor from the question to the closing message: what goes, what stays, and the running
// client that stops it before anything is removed.
#include "removal/removal.h"

#include <gtest/gtest.h>

#include "installer/runtime_check.h"
#include "platform/file_io.h"
#include "removal/folder_tree.h"
#include "removal/tests/removal_rig.h"
#include "toolkit/testing/headless_fixture.h"

using namespace removal_testing;

namespace {

class Dismantor : public toolkit_testing::HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    Desktop().Reset();
  }
  toolkit::HeadlessDesktop& Desktop() { return toolkit::headless::Desktop(); }

  // Runs the program answering its question with answer; the boxes it showed.
  std::vector<toolkit::MessageBoxShown> Run(int answer) {
    Desktop().Reset();
    Desktop().QueueMessageBoxAnswer(answer);
    RunDismantor(tree_.Places());
    return Desktop().MessageBoxes();
  }

  void ExpectUserDataKept() {
    for (const char* name : kUserFiles) EXPECT_EQ(Read(tree_.Program(name)), name) << name;
    EXPECT_EQ(Read(tree_.Program("Dismantor")), "Dismantor");
  }

  InstalledTree tree_;
};

void ExpectBox(const toolkit::MessageBoxShown& box, const char* text, UINT type) {
  EXPECT_EQ(box.text, text);
  EXPECT_EQ(box.caption, "Vymera同步软件 卸载程序");
  EXPECT_EQ(box.type, type);
  EXPECT_EQ(box.owner, nullptr);
}

TEST_F(Dismantor, YesRemovesTheInstallationAndKeepsTheUsersData) {
  ASSERT_TRUE(platform::PathExists(tree_.MenuFile()));
  ASSERT_TRUE(platform::PathExists(tree_.Autostart()));
  auto boxes = Run(IDYES);
  ASSERT_EQ(boxes.size(), 2u);
  ExpectBox(boxes[0], "您确实要删除Vymera同步软件及其相关组件吗？", MB_YESNO | MB_ICONQUESTION);
  ExpectBox(boxes[1], "卸载成功！", MB_OK | MB_ICONINFORMATION);

  for (const char* name : kProgramFiles) {
    if (std::string(name) == "Dismantor") continue;
    EXPECT_FALSE(platform::PathExists(tree_.Program(name))) << name;
  }
  EXPECT_FALSE(platform::PathExists(tree_.Program("res")));
  EXPECT_FALSE(platform::PathExists(tree_.DesktopLink()));
  EXPECT_FALSE(platform::PathExists(tree_.MenuGroup()));
  EXPECT_FALSE(platform::PathExists(tree_.MenuFile()));
  EXPECT_FALSE(platform::PathExists(tree_.DirectoryFile()));
  EXPECT_FALSE(platform::PathExists(tree_.Autostart()));
  ExpectUserDataKept();
  EXPECT_TRUE(platform::IsFolder(tree_.Program()));
}

TEST_F(Dismantor, NoChangesNothing) {
  for (int answer : {IDNO, IDCANCEL}) {
    auto boxes = Run(answer);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Read(tree_.Program("Vymera")), "Vymera");
    EXPECT_TRUE(platform::PathExists(tree_.Program("res/main.xml")));
    EXPECT_TRUE(platform::PathExists(tree_.DesktopLink()));
    EXPECT_TRUE(platform::PathExists(tree_.Autostart()));
  }
}

TEST_F(Dismantor, ASecondRunFindsNothingAndStillSucceeds) {
  Run(IDYES);
  auto boxes = Run(IDYES);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "卸载成功！");
  ExpectUserDataKept();
}

TEST_F(Dismantor, ARunningClientStopsItBeforeAnythingGoes) {
  RunningClient client(tree_.Home().Registry());
  ASSERT_TRUE(client.Ready());
  auto boxes = Run(IDYES);
  ASSERT_EQ(boxes.size(), 2u);
  ExpectBox(boxes[1], "请关闭正在运行的程序！", MB_OK | MB_ICONINFORMATION);
  for (const char* name : kProgramFiles) EXPECT_EQ(Read(tree_.Program(name)), name) << name;
  EXPECT_TRUE(platform::PathExists(tree_.Program("res/main.xml")));
  EXPECT_TRUE(platform::PathExists(tree_.DesktopLink()));
  EXPECT_TRUE(platform::PathExists(tree_.MenuFile()));
  EXPECT_TRUE(platform::PathExists(tree_.Autostart()));
}

TEST_F(Dismantor, AClientThatCannotBeDeletedStopsItToo) {
  // A folder where the client should be cannot be deleted as a file.
  unlink(tree_.Program("Vymera").c_str());
  ASSERT_TRUE(platform::MakeFolderTree(tree_.Program("Vymera")));
  EXPECT_EQ(RemoveInstallation(tree_.Places()), RemovalOutcome::ClientRunning);
  EXPECT_EQ(Read(tree_.Program("Renewix")), "Renewix");
  EXPECT_TRUE(platform::PathExists(tree_.Autostart()));
}

TEST_F(Dismantor, LinksAreRemovedAsLinksAndTheirTargetsStay) {
  testing_support::TempFolder outside;
  std::string kept = outside.File("kept");
  ASSERT_TRUE(platform::MakeFolderTree(kept));
  platform::WriteFileAtomically(kept + "/data", "data");
  ASSERT_EQ(symlink(kept.c_str(), tree_.Program("res/outside").c_str()), 0);
  ASSERT_EQ(symlink((kept + "/data").c_str(), tree_.Program("res/file").c_str()), 0);
  // The whole menu group and the skin archive as links out of their places.
  std::string group = tree_.MenuGroup();
  ASSERT_TRUE(RemoveEntry(group));
  ASSERT_EQ(symlink(kept.c_str(), group.c_str()), 0);
  unlink(tree_.Program("res.zip").c_str());
  ASSERT_EQ(symlink((kept + "/data").c_str(), tree_.Program("res.zip").c_str()), 0);

  EXPECT_EQ(RemoveInstallation(tree_.Places()), RemovalOutcome::Removed);
  EXPECT_FALSE(platform::PathExists(tree_.Program("res")));
  EXPECT_FALSE(platform::PathExists(tree_.Program("res.zip")));
  EXPECT_FALSE(platform::PathExists(group));
  EXPECT_EQ(Read(kept + "/data"), "data");
}

TEST_F(Dismantor, ADotFolderInTheSkinsKeepsThemButTheRestGoes) {
  ASSERT_TRUE(platform::MakeFolderTree(tree_.Program("res/.cache")));
  EXPECT_EQ(RemoveInstallation(tree_.Places()), RemovalOutcome::Removed);
  EXPECT_TRUE(platform::IsFolder(tree_.Program("res/.cache")));
  EXPECT_FALSE(platform::PathExists(tree_.Program("res/main.xml")));
  EXPECT_FALSE(platform::PathExists(tree_.Program("Renewix")));
  EXPECT_FALSE(platform::PathExists(tree_.Autostart()));
}

TEST_F(Dismantor, NoProgramFolderRemovesNoProgramFiles) {
  RemovalPlaces places = tree_.Places();
  places.programFolder.clear();
  EXPECT_EQ(RemoveInstallation(places), RemovalOutcome::Removed);
  EXPECT_EQ(Read(tree_.Program("Vymera")), "Vymera");
  EXPECT_FALSE(platform::PathExists(tree_.DesktopLink()));
}

// The program removes the toolkit and the kit beside it, so it must not need them to start again.
TEST(DismantorProgram, NeedsNoLibraryItRemoves) {
  std::optional<std::string> image = platform::ReadWholeFile(VYMERA_DISMANTOR);
  ASSERT_TRUE(image);
  std::vector<std::string> needed = NeededLibraries(*image);
  ASSERT_FALSE(needed.empty());
  for (const std::string& library : needed) {
    EXPECT_NE(library, VYMERA_TOOLKIT_FILE);
    EXPECT_NE(library, VYMERA_KIT_FILE);
  }
}

}  // namespace
