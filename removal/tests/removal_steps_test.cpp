// The removal without its message boxes, on every platform: exactly what the record names goes, the
// user's data and others' files stay, and a client whose file cannot go stops the removal first.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "install/install_items.h"
#include "install/install_record.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "removal/removal.h"
#include "testing/temp_folder.h"

namespace {

using testing_support::TempFolder;
namespace items = install_items;

class RemovalSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    places_.programFolder = folder_.File("Vymera");
    places_.shortcuts.desktop = folder_.File("desktop");
    places_.windowRegistry = folder_.File("registry");
    ASSERT_TRUE(platform::MakeFolderTree(P("res/sub")));
    ASSERT_TRUE(platform::MakeFolderTree(places_.shortcuts.desktop));
    InstallRecord record;
    for (const char* name : {items::kClient.fileName, items::kUpdater.fileName, items::kToolkit.fileName}) {
      ASSERT_TRUE(platform::WriteFileAtomically(P(name), "program"));
      record.Add(RecordKind::File, name);
    }
    ASSERT_TRUE(platform::WriteFileAtomically(P("res/sub/main.xml"), "skin"));
    record.Add(RecordKind::File, "res/sub/main.xml");
    record.Add(RecordKind::Folder, "res");
    record.Add(RecordKind::Folder, "res/sub");
    ASSERT_TRUE(platform::WriteFileAtomically(Link(), "link"));
    record.Add(RecordKind::File, Link());
    ASSERT_TRUE(record.Save(places_.programFolder));
    ASSERT_TRUE(platform::WriteFileAtomically(P("systemset.ini"), "the user's settings"));
  }
  std::string P(const std::string& name) const { return platform::JoinPath(places_.programFolder, name); }
  std::string Link() const { return places_.shortcuts.desktop + "/Vymera同步软件" + ShellLinkMaker::kExtension; }

  TempFolder folder_;
  RemovalPlaces places_;
};

TEST_F(RemovalSteps, RemovesWhatWasRecordedAndNothingElse) {
  RemovalReport report = RemoveInstallation(places_);
  EXPECT_EQ(report.outcome, RemovalOutcome::Removed);
  EXPECT_EQ(RemovalMessage(report), removal::kRemoved);
  for (const char* name : {items::kClient.fileName, items::kToolkit.fileName, "res"}) {
    EXPECT_FALSE(platform::PathExists(P(name))) << name;
  }
  EXPECT_FALSE(platform::PathExists(Link()));
  EXPECT_EQ(platform::ReadWholeFile(P("systemset.ini")), "the user's settings");
  EXPECT_TRUE(platform::IsFolder(places_.programFolder));
}

TEST_F(RemovalSteps, WithoutARecordNothingGoes) {
  ASSERT_TRUE(platform::RemoveFile(P(InstallRecord::kFileName)));
  EXPECT_EQ(RemoveInstallation(places_).outcome, RemovalOutcome::NoRecord);
  EXPECT_TRUE(platform::PathExists(P(items::kClient.fileName)));
}

TEST_F(RemovalSteps, AFileWhereAFolderWasRecordedStays) {
  ASSERT_TRUE(platform::RemoveFile(P("res/sub/main.xml")));
  ASSERT_TRUE(platform::RemoveEmptyFolder(P("res/sub")));
  ASSERT_TRUE(platform::WriteFileAtomically(P("res/sub"), "someone's file"));
  EXPECT_EQ(RemoveInstallation(places_).outcome, RemovalOutcome::Removed);
  EXPECT_EQ(platform::ReadWholeFile(P("res/sub")), "someone's file");
  // What could not go stays recorded for another run.
  std::optional<InstallRecord> left = LoadInstallRecord(places_);
  ASSERT_TRUE(left);
  // The file below it no longer leads through a folder, so it is not the recorded one either.
  std::vector<RecordedPath> expected{
      {RecordKind::File, "res/sub/main.xml"}, {RecordKind::Folder, "res/sub"}, {RecordKind::Folder, "res"}};
  EXPECT_EQ(left->Paths(), expected) << left->Text();
}

}  // namespace
