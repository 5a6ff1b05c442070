// Dismantor from the question to the closing message: what goes (exactly what the install record
// names), what stays (everything else, and everything when there is no usable record), the
// system-wide rule, and the running client that stops it before anything is removed.
#include "removal/removal.h"

#include <sys/stat.h>
#include <unistd.h>

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
  // The record stays, naming what is left: nothing.
  EXPECT_EQ(Read(tree_.RecordFile()), "VymeraInstallRecord 1\n");
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
  EXPECT_EQ(RemoveInstallation(tree_.Places()).outcome, RemovalOutcome::ClientRunning);
  EXPECT_EQ(Read(tree_.Program("Renewix")), "Renewix");
  EXPECT_TRUE(platform::PathExists(tree_.Autostart()));
}

TEST_F(Dismantor, LinksAreRemovedAsLinksAndNeverFollowed) {
  testing_support::TempFolder outside;
  std::string kept = outside.File("kept");
  ASSERT_TRUE(platform::MakeFolderTree(kept));
  platform::WriteFileAtomically(kept + "/data", "data");
  platform::WriteFileAtomically(kept + "/Vymera同步软件.desktop", "someone else's");
  // A recorded file turned into a link goes as a link.
  unlink(tree_.Program("res.zip").c_str());
  ASSERT_EQ(symlink((kept + "/data").c_str(), tree_.Program("res.zip").c_str()), 0);
  // A recorded folder turned into a link leads nowhere it is followed to.
  std::string group = tree_.MenuGroup();
  ASSERT_TRUE(RemoveEntry(group));
  ASSERT_EQ(symlink(kept.c_str(), group.c_str()), 0);

  EXPECT_EQ(RemoveInstallation(tree_.Places()).outcome, RemovalOutcome::Removed);
  EXPECT_FALSE(platform::PathExists(tree_.Program("res.zip")));
  EXPECT_EQ(Read(kept + "/data"), "data");
  EXPECT_EQ(Read(kept + "/Vymera同步软件.desktop"), "someone else's");
  EXPECT_FALSE(platform::PathExists(tree_.Program("res")));
}

TEST_F(Dismantor, WhatTheRecordDoesNotNameStays) {
  // The user's own files in the skin folder and beside the programs.
  ASSERT_TRUE(platform::MakeFolderTree(tree_.Program("res/photos")));
  platform::WriteFileAtomically(tree_.Program("res/photos/p1.jpg"), "photo");
  platform::WriteFileAtomically(tree_.Program("notes.txt"), "notes");
  platform::WriteFileAtomically(tree_.Home().Desktop() + "/other.desktop", "other");
  auto boxes = Run(IDYES);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "卸载成功！");
  EXPECT_EQ(Read(tree_.Program("res/photos/p1.jpg")), "photo");
  EXPECT_EQ(Read(tree_.Program("notes.txt")), "notes");
  EXPECT_EQ(Read(tree_.Home().Desktop() + "/other.desktop"), "other");
  EXPECT_FALSE(platform::PathExists(tree_.Program("res/main.xml")));
  EXPECT_FALSE(platform::PathExists(tree_.Program("Renewix")));
  // The skin folder still holds the photos, so it stays, and stays on record for another run.
  EXPECT_NE(Read(tree_.RecordFile()).find("folder\tres\n"), std::string::npos);
}

TEST_F(Dismantor, WithoutARecordNothingIsRemovedAndTheUserIsTold) {
  // Dismantor copied next to unrelated files with the installation's names.
  ASSERT_EQ(unlink(tree_.RecordFile().c_str()), 0);
  auto boxes = Run(IDYES);
  ASSERT_EQ(boxes.size(), 1u);
  ExpectBox(boxes[0], removal::kNoRecord, MB_OK | MB_ICONWARNING);
  for (const char* name : kProgramFiles) EXPECT_EQ(Read(tree_.Program(name)), name) << name;
  EXPECT_TRUE(platform::PathExists(tree_.Program("res/main.xml")));
  EXPECT_TRUE(platform::PathExists(tree_.DesktopLink()));
  EXPECT_TRUE(platform::PathExists(tree_.Autostart()));
}

TEST_F(Dismantor, ARecordNamingAnythingElseRemovesNothing) {
  testing_support::TempFolder outside;
  platform::WriteFileAtomically(outside.File("precious"), "precious");
  for (const std::string& line : {"file\t" + outside.File("precious"), std::string("file\t../../precious"),
                                  std::string("file\tuserinfoset.xml")}) {
    platform::WriteFileAtomically(tree_.RecordFile(), "VymeraInstallRecord 1\nfile\tRenewix\n" + line + "\n");
    EXPECT_EQ(RemoveInstallation(tree_.Places()).outcome, RemovalOutcome::NoRecord) << line;
    EXPECT_EQ(Read(outside.File("precious")), "precious");
    EXPECT_EQ(Read(tree_.Program("Renewix")), "Renewix");
    ExpectUserDataKept();
  }
}

TEST_F(Dismantor, TheSystemWideRuleGoesWhenRecordedOrTheUserIsToldHow) {
  platform::WriteFileAtomically(tree_.SystemRule(), "rule");
  tree_.Record().Add(RecordKind::Rule, tree_.SystemRule());
  tree_.SaveRecord();
  if (geteuid() != 0) {
    // Without the rights to the rules folder the rule stays, and the closing message says what to run.
    ASSERT_EQ(chmod(tree_.Home().SystemRules().c_str(), 0555), 0);
    auto boxes = Run(IDYES);
    ASSERT_EQ(chmod(tree_.Home().SystemRules().c_str(), 0755), 0);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text.rfind("卸载成功！", 0), 0u) << boxes[1].text;
    EXPECT_NE(boxes[1].text.find("sudo rm " + tree_.SystemRule()), std::string::npos) << boxes[1].text;
    EXPECT_EQ(boxes[1].type, MB_OK | MB_ICONWARNING);
    EXPECT_EQ(Read(tree_.SystemRule()), "rule");
    EXPECT_NE(Read(tree_.RecordFile()).find("rule\t" + tree_.SystemRule()), std::string::npos);
  }
  auto boxes = Run(IDYES);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[1].text, "卸载成功！");
  EXPECT_FALSE(platform::PathExists(tree_.SystemRule()));
}

TEST_F(Dismantor, OnlyTheClientsOwnAutostartEntryGoes) {
  platform::WriteAutostartEntry("Vymera", "/opt/other/Vymera", "/Startup");
  EXPECT_EQ(RemoveInstallation(tree_.Places()).outcome, RemovalOutcome::Removed);
  EXPECT_TRUE(platform::PathExists(tree_.Autostart()));
}

TEST_F(Dismantor, ADotFolderInTheSkinsKeepsThemButTheRestGoes) {
  ASSERT_TRUE(platform::MakeFolderTree(tree_.Program("res/.cache")));
  EXPECT_EQ(RemoveInstallation(tree_.Places()).outcome, RemovalOutcome::Removed);
  EXPECT_TRUE(platform::IsFolder(tree_.Program("res/.cache")));
  EXPECT_FALSE(platform::PathExists(tree_.Program("res/main.xml")));
  EXPECT_FALSE(platform::PathExists(tree_.Program("Renewix")));
  EXPECT_FALSE(platform::PathExists(tree_.Autostart()));
}

TEST_F(Dismantor, NoProgramFolderMeansNoRecordAndNothingRemoved) {
  RemovalPlaces places = tree_.Places();
  places.programFolder.clear();
  EXPECT_EQ(RemoveInstallation(places).outcome, RemovalOutcome::NoRecord);
  EXPECT_EQ(Read(tree_.Program("Vymera")), "Vymera");
  EXPECT_TRUE(platform::PathExists(tree_.DesktopLink()));
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
