// The installation and the folder page's texts without a window, on every platform: the installed
// tree under the platform's names, the user's data never replaced, and the folder texts that name an
// absolute folder the platform's way.
#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include "platform/wide_text.h"
#endif

#include "install/install_items.h"
#include "installer/folder_text.h"
#include "installer/free_space.h"
#include "installer/installation.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/payload.h"
#include "testing/temp_folder.h"

namespace {

namespace items = install_items;
using testing_support::TempFolder;

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) names.insert(e.path().filename().string());
  return names;
}

std::string Payload(const InstallItem& item) {
  return std::string(platform::FindPayload(item.type, item.id).value_or("<no item>"));
}

class InstallSteps : public ::testing::Test {
 protected:
  // Every shortcut goes to a folder of the test's own; no device rule goes system-wide.
  InstallPlaces Places() const {
    InstallPlaces places;
    places.shortcuts.desktop = home_.File("desktop");
    places.shortcuts.applications = home_.File("programs");
    // The menu's own files, which only Linux writes.
    places.shortcuts.directories = home_.File("directories");
    places.shortcuts.mergedMenus = home_.File("menus");
#ifdef _WIN32
    places.shortcuts.quickLaunch = home_.File("quick");
#endif
    return places;
  }
  InstallResult Run(bool desktop = true, bool quickStart = false) {
    steps_ = 0;
    return Install(InstallRequest{Program(), desktop, quickStart}, Places(), [this](int step) { steps_ = step; });
  }
  std::string Program() const { return home_.File("Vymera"); }
  std::string P(const std::string& name) const { return platform::JoinPath(Program(), name); }

  TempFolder home_;
  int steps_ = 0;
};

TEST_F(InstallSteps, WritesTheTreeUnderThePlatformsNames) {
  InstallResult result = Run();
  ASSERT_TRUE(result.Ok()) << result.path;
  EXPECT_EQ(steps_, installation::kSteps);
  std::set<std::string> names = Names(Program());
#ifdef _WIN32
  for (const char* name : {"Vymera.exe", "Dismantor.exe", "Renewix.exe", "DuiLib.dll", "pace700Lib.dll"}) {
#else
  for (const char* name : {"Vymera", "Dismantor", "Renewix"}) {
#endif
    EXPECT_TRUE(names.count(name)) << name;
  }
  // Windows opens HID devices without a rule.
  EXPECT_EQ(names.count(items::kHidSupport.fileName), items::kCarriesHidSupport ? 1u : 0u);
  EXPECT_EQ(ClientPathIn(Program() + "/"), P(items::kClient.fileName));
  EXPECT_EQ(platform::ReadWholeFile(P(items::kClient.fileName)), Payload(items::kClient));
  EXPECT_TRUE(platform::IsFolder(P("res")));
  EXPECT_FALSE(Names(P("res")).empty());
  EXPECT_EQ(platform::ReadWholeFile(P("user/DefaultUser.jpg")), Payload(items::kDefaultPicture));
  EXPECT_TRUE(platform::PathExists(P(InstallRecord::kFileName)));
  EXPECT_TRUE(platform::PathExists(
      platform::JoinPath(home_.File("desktop"), std::string("Vymera同步软件") + ShellLinkMaker::kExtension)));
}

TEST_F(InstallSteps, KeepsTheUsersDataAndReplacesTheProgramsAgain) {
  ASSERT_TRUE(Run().Ok());
  ASSERT_TRUE(platform::WriteFileAtomically(P("systemset.ini"), "mine"));
  ASSERT_TRUE(platform::WriteFileAtomically(P(items::kClient.fileName), "an older client"));
  ASSERT_TRUE(Run().Ok());
  EXPECT_EQ(platform::ReadWholeFile(P("systemset.ini")), "mine");
  EXPECT_EQ(platform::ReadWholeFile(P(items::kClient.fileName)), Payload(items::kClient));
  // Nothing of the fresh copies is left beside the user's files.
  for (const std::string& name : Names(Program())) EXPECT_EQ(name.find(".setup-new"), std::string::npos) << name;
}

TEST_F(InstallSteps, AFileWhereTheFolderGoesFailsOnTheFolder) {
  ASSERT_TRUE(platform::WriteFileAtomically(Program(), "a file"));
  InstallResult result = Run();
  EXPECT_EQ(result.failure, InstallFailure::Folder);
  EXPECT_EQ(steps_, 0);
}

#ifdef _WIN32
// Windows will not replace a running program's file: the installation stops on it, names it, and
// the record still lets the removal take what was written before.
TEST_F(InstallSteps, AProgramFileInUseStopsTheInstallation) {
  ASSERT_TRUE(Run().Ok());
  std::string client = P(items::kClient.fileName);
  HANDLE running = CreateFileW(platform::Widen(client).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(running, INVALID_HANDLE_VALUE);
  InstallResult result = Run();
  CloseHandle(running);
  EXPECT_EQ(result.failure, InstallFailure::Write);
  EXPECT_EQ(result.path, client);
  EXPECT_EQ(steps_, 0);
  EXPECT_TRUE(platform::PathExists(P(InstallRecord::kFileName)));
}

// The quick-launch link goes where the bar's folder is, and the record names it so that the removal
// takes it too; without the folder the option is passed over, not failed.
TEST_F(InstallSteps, TheQuickLaunchLinkIsRecordedAndOnlyMadeWhereTheBarIs) {
  ASSERT_TRUE(Run(true, true).Ok());
  std::string link = platform::JoinPath(home_.File("quick"), std::string("Vymera同步软件") + ShellLinkMaker::kExtension);
  EXPECT_FALSE(platform::PathExists(link));
  ASSERT_TRUE(platform::MakeFolderTree(home_.File("quick")));
  ASSERT_TRUE(Run(true, true).Ok());
  EXPECT_TRUE(platform::PathExists(link));
  EXPECT_NE(platform::ReadWholeFile(P(InstallRecord::kFileName)).value_or("").find(link), std::string::npos);
}
#endif

TEST(PortableFolderText, NamesOnlyAbsoluteFolders) {
  EXPECT_FALSE(FolderFromText("relative/Vymera"));
  EXPECT_FALSE(FolderFromText(""));
#ifdef _WIN32
  EXPECT_EQ(FolderFromText("C:\\Program Files\\Vymera").value_or(""), "C:/Program Files/Vymera");
  EXPECT_EQ(FolderFromText("//server/share/Vymera").value_or(""), "//server/share/Vymera");
  EXPECT_EQ(FolderFromText("\\\\server\\share").value_or(""), "//server/share");
  // A single leading separator is relative to whichever drive is current; a drive alone is too.
  EXPECT_FALSE(FolderFromText("/Vymera"));
  EXPECT_FALSE(FolderFromText("C:Vymera"));
  EXPECT_FALSE(FolderFromText("//server"));
#else
  EXPECT_EQ(FolderFromText("/opt/Vymera").value_or(""), "/opt/Vymera");
  EXPECT_EQ(FolderFromText("/opt/a\\b").value_or(""), "/opt/a\\b");  // a backslash belongs to the name
#endif
}

TEST(PortableFolderText, OffersThePerUserProgramsFolder) {
  std::string folder = DefaultProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(platform::IsAbsolutePath(folder)) << folder;
  EXPECT_TRUE(folder.ends_with("/Vymera")) << folder;
#ifdef _WIN32
  EXPECT_TRUE(folder.ends_with("/Programs/Vymera")) << folder;
#endif
}

TEST(PortableFreeSpace, MeasuresTheNearestFolderThatExists) {
  TempFolder folder;
  EXPECT_EQ(NearestExistingFolder(folder.File("not/yet/made")), folder.path());
  EXPECT_EQ(NearestExistingFolder(folder.File("not") + "//"), folder.path());
  EXPECT_EQ(NearestExistingFolder("relative"), "");
#ifdef _WIN32
  std::string drive = folder.path().substr(0, 3);  // "Z:/" under Wine, "C:/" on Windows
  EXPECT_EQ(NearestExistingFolder(drive + "no-such-root-folder/x"), drive);
#else
  EXPECT_EQ(NearestExistingFolder("/no-such-root-folder/x"), "/");
#endif
  std::optional<uint64_t> free = VolumeFreeSpace().FreeBytes(folder.path());
  ASSERT_TRUE(free.has_value());
  EXPECT_GT(*free, 0u);
  EXPECT_FALSE(VolumeFreeSpace().FreeBytes(folder.File("missing")).has_value());
}

}  // namespace
