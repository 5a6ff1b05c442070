// The paths a record may name, as the file systems of both platforms resolve them: a path that
// names the user's data in another spelling is refused with the rest of the record.

#include <gtest/gtest.h>

#include "install/install_items.h"
#include "install/install_names.h"
#include "install/install_record.h"

namespace {

constexpr const char* kProgramFolder = "C:/Users/u/AppData/Local/Programs/Vymera";

ShortcutPlaces WindowsPlaces() {
  ShortcutPlaces places;
  places.desktop = "C:/Users/u/Desktop";
  places.applications = "C:/Users/u/AppData/Roaming/Microsoft/Windows/Start Menu/Programs";
  return places;
}

bool Accepted(const std::string& line) {
  RecordPlaces places = RecordPlacesFor(kProgramFolder, WindowsPlaces(), "");
  return InstallRecord::Parse(std::string(InstallRecord::kHeader) + "\n" + line + "\n", places).has_value();
}

TEST(RecordPaths, AProgramFolderWithADriveAndTheLinksBelowTheShortcutFolders) {
  ShellLinkMaker links(WindowsPlaces());
  using namespace installation;
  EXPECT_TRUE(Accepted(std::string("file\t") + install_items::kClient.fileName));
  EXPECT_TRUE(Accepted("file\tres/main.xml"));
  EXPECT_TRUE(Accepted("file\t" + links.DesktopLinkPath(kClientLink)));
  EXPECT_TRUE(Accepted("file\t" + links.ProgramsLinkPath(kMenuGroup, kRemovalLink)));
  EXPECT_TRUE(Accepted("folder\t" + links.GroupFolder(kMenuGroup)));
  EXPECT_EQ(RecordedLocation({RecordKind::File, links.DesktopLinkPath(kClientLink)}, kProgramFolder),
            links.DesktopLinkPath(kClientLink));
  EXPECT_EQ(RecordedLocation({RecordKind::File, "res/main.xml"}, kProgramFolder), std::string(kProgramFolder) + "/res/main.xml");
  // Other files of those folders, and other drives, are not the installation's.
  EXPECT_FALSE(Accepted("file\tC:/Users/u/Desktop/other.lnk"));
  EXPECT_FALSE(Accepted("file\tD:/Users/u/Desktop/Vymera同步软件.lnk"));
  EXPECT_FALSE(Accepted("file\tC:/Windows/System32/kernel32.dll"));
}

// Each of these is the user list, the settings or a picture to Windows.
TEST(RecordPaths, TheUsersDataInAnotherSpellingIsRefused) {
  std::string removal = install_items::kRemoval.fileName;
  for (char& c : removal) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  EXPECT_FALSE(Accepted("file\t" + removal));
  for (const char* path : {"UserInfoSet.XML", "SYSTEMSET.INI", "User/DefaultUser.jpg",
                           "res\\..\\userinfoset.xml", "userinfoset.xml::$DATA", "userinfoset.xml:x", "userinfoset.xml.",
                           "userinfoset.xml ", "user./DefaultUser.jpg", "res/../userinfoset.xml"}) {
    EXPECT_FALSE(Accepted(std::string("file\t") + path)) << path;
  }
  EXPECT_FALSE(Accepted("file\tC:userinfoset.xml"));  // a drive's current folder, not an absolute path
}

}  // namespace
