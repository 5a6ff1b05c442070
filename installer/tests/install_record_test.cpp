// The install record: its text both ways, and the records refused whole because a path in them
// reaches beyond what an installation writes.
#include "install/install_record.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "testing/temp_folder.h"

namespace {

ShortcutPlaces Shortcuts(const std::string& desktop) {
  ShortcutPlaces shortcuts;
  shortcuts.desktop = desktop;
  shortcuts.applications = "/home/u/.local/share/applications";
  shortcuts.directories = "/home/u/.local/share/desktop-directories";
  shortcuts.mergedMenus = "/home/u/.config/menus/applications-merged";
  return shortcuts;
}

RecordPlaces Places() {
  return RecordPlacesFor("/home/u/.local/share/Vymera/", Shortcuts("/home/u/Desktop"), "/etc/udev/rules.d");
}

std::string WithHeader(const std::string& lines) { return std::string(InstallRecord::kHeader) + "\n" + lines; }

TEST(InstallRecord, TextReadsBackAsWritten) {
  InstallRecord record;
  record.Add(RecordKind::File, "Vymera");
  record.Add(RecordKind::Folder, "res");
  record.Add(RecordKind::File, "res/sub folder/main.xml");
  record.Add(RecordKind::File, "/home/u/Desktop/Vymera同步软件.desktop");
  record.Add(RecordKind::Folder, "/home/u/.local/share/applications/Vymera同步软件");
  record.Add(RecordKind::File, "/home/u/.config/menus/applications-merged/Vymera同步软件.menu");
  record.Add(RecordKind::Rule, "/etc/udev/rules.d/70-vymera-devices.rules");
  record.Add(RecordKind::File, "Vymera");  // once only
  EXPECT_EQ(record.Paths().size(), 7u);
  std::optional<InstallRecord> back = InstallRecord::Parse(record.Text(), Places());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Paths(), record.Paths());
  EXPECT_EQ(RecordedLocation(back->Paths()[2], Places().programFolder),
            "/home/u/.local/share/Vymera/res/sub folder/main.xml");
  // A record with nothing left in it still is one.
  EXPECT_TRUE(InstallRecord::Parse(WithHeader(""), Places()));
}

TEST(InstallRecord, AnyPathBeyondTheInstallationsPlacesRefusesTheWholeRecord) {
  const char* refused[] = {
      "file\t../outside",
      "file\tres/../../outside",
      "file\tres//main.xml",
      "file\t./Vymera",
      "file\t/home/u/photos/p1.jpg",
      "file\t/home/u/Desktop",             // the folder itself, not below it
      "file\t/home/u/Desktopx/a.desktop",  // a sibling with the same start
      "file\t/home/u/Desktop/other.desktop",
      "file\t/home/u/.local/share/applications/other.desktop",
      "folder\t/home/u/Desktop/../Documents",
      "file\tuserinfoset.xml",
      "file\tsystemset.ini",
      "folder\tuser",
      "file\tuser/1.jpg",
      "file\tDismantor",
      "file\tinstall.record",
      "rule\t/etc/passwd",
      "rule\tres/70-vymera-devices.rules",
      "tree\tres",
      "file res.zip",
      "file\tres\x01.zip",
      "file\t",
  };
  for (const char* line : refused) {
    EXPECT_FALSE(InstallRecord::Parse(WithHeader("file\tVymera\n" + std::string(line) + "\n"), Places())) << line;
  }
  RecordPlaces noRule = Places();
  noRule.systemRule.clear();
  EXPECT_FALSE(InstallRecord::Parse(WithHeader("rule\t/etc/udev/rules.d/70-vymera-devices.rules\n"), noRule));
}

TEST(InstallRecord, ADesktopThatIsTheHomeFolderOpensNothingElseOfIt) {
  RecordPlaces places = RecordPlacesFor("/home/u/.local/share/Vymera", Shortcuts("/home/u"), "");
  EXPECT_TRUE(InstallRecord::Parse(WithHeader("file\t/home/u/Vymera同步软件.desktop\n"), places));
  EXPECT_FALSE(InstallRecord::Parse(WithHeader("file\t/home/u/thesis.odt\n"), places));
  EXPECT_FALSE(InstallRecord::Parse(WithHeader("folder\t/home/u/.local\n"), places));
}

TEST(InstallRecord, ItsFormAndSizeAreBounded) {
  EXPECT_FALSE(InstallRecord::Parse("", Places()));
  EXPECT_FALSE(InstallRecord::Parse("file\tVymera\n", Places()));               // no header
  EXPECT_FALSE(InstallRecord::Parse(WithHeader("file\tVymera"), Places()));     // cut short
  EXPECT_FALSE(InstallRecord::Parse("VymeraInstallRecord 2\nfile\tVymera\n", Places()));
  std::string many;
  for (size_t i = 0; i <= InstallRecord::kMaxPaths; ++i) many += "file\tres/" + std::to_string(i) + "\n";
  EXPECT_FALSE(InstallRecord::Parse(WithHeader(many), Places()));
  EXPECT_FALSE(InstallRecord::Parse(WithHeader("file\tres/" + std::string(InstallRecord::kMaxPathBytes, 'a') + "\n"),
                                    Places()));
  EXPECT_FALSE(InstallRecord::Parse(WithHeader(std::string(InstallRecord::kMaxBytes, '\n')), Places()));
}

TEST(InstallRecord, SavedBesideTheProgramsForTheOwnerOnly) {
  testing_support::TempFolder folder;
  RecordPlaces places;
  places.programFolder = folder.path();
  EXPECT_FALSE(InstallRecord::Load(places));
  InstallRecord record;
  record.Add(RecordKind::File, "Vymera");
  ASSERT_TRUE(record.Save(folder.path()));
  std::optional<InstallRecord> loaded = InstallRecord::Load(places);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->Paths(), record.Paths());
  struct stat info {};
  ASSERT_EQ(stat(folder.File("install.record").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 077, 0u);
}

}  // namespace
