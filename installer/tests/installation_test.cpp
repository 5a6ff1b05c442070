// The installation into a temporary home: the tree it writes and the modes, the shortcuts of each
// option set, installing over an installation, the record of what was written, the failures that
// end it, links in the way, a stop on request, and the finishing options.
#include "installer/installation.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "installer/finish_options.h"
#include "install/install_items.h"
#include "installer/tests/install_rig.h"
#include "platform/autostart.h"
#include "platform/payload.h"

using namespace installer_testing;
namespace items = install_items;

extern char** environ;

namespace {

std::string Payload(const InstallItem& item) {
  return std::string(platform::FindPayload(item.type, item.id).value_or("<no item>"));
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) names.insert(e.path().filename().string());
  return names;
}

class Installation : public ::testing::Test {
 protected:
  void SetUp() override { oldMask_ = umask(022); }
  void TearDown() override { umask(oldMask_); }

  // Installs into folder, recording what was reported.
  InstallResult Run(const std::string& folder, bool desktop = true, bool quick = true,
                    const std::atomic<bool>* cancel = nullptr) {
    steps_.clear();
    return Install(
        InstallRequest{folder, desktop, quick}, home_.Places(), [this](int step) { steps_.push_back(step); }, cancel);
  }
  std::string P(const std::string& name) const { return platform::JoinPath(home_.ProgramFolder(), name); }
  // The record the installation left in the program folder (nothing when none or refused).
  std::optional<InstallRecord> Record() const {
    InstallPlaces places = home_.Places();
    return InstallRecord::Load(RecordPlacesFor(home_.ProgramFolder(), places.shortcuts, places.systemRules));
  }
  bool Recorded(RecordKind kind, const std::string& path) const {
    std::optional<InstallRecord> record = Record();
    if (!record) return false;
    const auto& paths = record->Paths();
    return std::find(paths.begin(), paths.end(), RecordedPath{kind, path}) != paths.end();
  }
  std::string DesktopLink() const { return home_.Desktop() + "/Vymera同步软件.desktop"; }
  std::string MenuGroup() const { return home_.Applications() + "/Vymera同步软件"; }

  TempHome home_;
  std::vector<int> steps_;
  mode_t oldMask_ = 0;
};

TEST_F(Installation, FreshHomeGetsTheWholeTreeWithItsModes) {
  InstallResult result = Run(home_.ProgramFolder());
  EXPECT_TRUE(result.Ok()) << result.path;
  EXPECT_EQ(steps_, (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));

  for (const InstallItem& item : items::kAll) {
    EXPECT_EQ(Read(P(item.fileName)), Payload(item)) << item.fileName;
  }
  for (const InstallItem& program : {items::kClient, items::kRemoval, items::kUpdater}) {
    EXPECT_EQ(Mode(P(program.fileName)), 0755) << program.fileName;
  }
  for (const InstallItem& data : {items::kSkinArchive, items::kToolkit, items::kHidSupport, items::kKit}) {
    EXPECT_EQ(Mode(P(data.fileName)), 0644) << data.fileName;
  }
  EXPECT_EQ(Mode(P("userinfoset.xml")), 0600);
  EXPECT_EQ(Mode(P("systemset.ini")), 0600);
  EXPECT_EQ(Mode(P("user")), 0700);
  EXPECT_EQ(Mode(home_.ProgramFolder()), 0755);

  // The skins unpacked, the archive kept for the updater.
  EXPECT_EQ(Read(P("res/main.xml")), Read(VYMERA_TEST_SKIN_SOURCES "/main.xml"));
  EXPECT_EQ(Names(P("res")), (std::set<std::string>{"main.xml", "logo_small.png"}));
  // Nothing else: no temporary file stays behind.
  EXPECT_EQ(
      Names(home_.ProgramFolder()),
      (std::set<std::string>{"Vymera", "Dismantor", "Renewix", "res.zip", "res", VYMERA_TOOLKIT_FILE,
                             "70-vymera-devices.rules", VYMERA_KIT_FILE, "userinfoset.xml", "systemset.ini", "user",
                             "install.record"}));
  EXPECT_EQ(Read(P("userinfoset.xml")), Read(VYMERA_INSTALLER_DATA "/userinfoset.xml"));
  EXPECT_EQ(Mode(P("install.record")), 0600);
}

TEST_F(Installation, TheRecordNamesWhatWasWrittenAndNoneOfTheUsersData) {
  ASSERT_TRUE(Run(home_.ProgramFolder()).Ok());
  std::optional<InstallRecord> record = Record();
  ASSERT_TRUE(record);
  for (const char* file : {"Vymera", "Renewix", "res.zip", VYMERA_TOOLKIT_FILE, VYMERA_KIT_FILE,
                           "70-vymera-devices.rules", "res/main.xml", "res/logo_small.png"}) {
    EXPECT_TRUE(Recorded(RecordKind::File, file)) << file;
  }
  EXPECT_TRUE(Recorded(RecordKind::Folder, "res"));
  EXPECT_TRUE(Recorded(RecordKind::File, DesktopLink()));
  EXPECT_TRUE(Recorded(RecordKind::Folder, MenuGroup()));
  EXPECT_TRUE(Recorded(RecordKind::File, MenuGroup() + "/卸载Vymera同步软件.desktop"));
  EXPECT_TRUE(Recorded(RecordKind::File, home_.Config() + "/menus/applications-merged/Vymera同步软件.menu"));
  EXPECT_TRUE(Recorded(RecordKind::Rule, home_.SystemRules() + "/70-vymera-devices.rules"));
  for (const RecordedPath& recorded : record->Paths()) {
    EXPECT_FALSE(IsKeptInProgramFolder(recorded.path)) << recorded.path;
    EXPECT_TRUE(platform::PathExists(RecordedLocation(recorded, home_.ProgramFolder()))) << recorded.path;
  }

  // Installing again without the desktop icon keeps the earlier link on record, so it can go too.
  ASSERT_TRUE(Run(home_.ProgramFolder(), false, false).Ok());
  EXPECT_TRUE(Recorded(RecordKind::File, DesktopLink()));
  EXPECT_EQ(Record()->Paths().size(), record->Paths().size());
}

TEST_F(Installation, AMissingDesktopFolderIsMadeForTheIconAskedFor) {
  ASSERT_EQ(rmdir(home_.Desktop().c_str()), 0);
  ASSERT_TRUE(Run(home_.ProgramFolder()).Ok());
  EXPECT_TRUE(platform::PathExists(DesktopLink()));
}

TEST_F(Installation, AFolderThatCannotBeMadeFailsBeforeAnythingIsWritten) {
  platform::WriteFileAtomically(home_.File("a-file"), "x");
  std::string folder = home_.File("a-file/Vymera");
  InstallResult result = Run(folder);
  EXPECT_EQ(result.failure, InstallFailure::Folder);
  EXPECT_EQ(result.path, folder);
  EXPECT_TRUE(steps_.empty());
  EXPECT_FALSE(platform::PathExists(DesktopLink()));
  EXPECT_FALSE(platform::PathExists(MenuGroup()));
}

TEST_F(Installation, AFailedWriteEndsItBeforeAnyShortcutAndNamesTheFile) {
  // A folder where the updater goes cannot be replaced by the file.
  ASSERT_TRUE(platform::MakeFolderTree(P("Renewix/keep")));
  InstallResult result = Run(home_.ProgramFolder());
  EXPECT_EQ(result.failure, InstallFailure::Write);
  EXPECT_EQ(result.path, P("Renewix"));
  EXPECT_EQ(steps_, (std::vector<int>{1, 2}));
  EXPECT_TRUE(platform::IsFolder(P("Renewix/keep")));
  // Nothing points at a program that is not there, and what was written can be removed.
  EXPECT_FALSE(platform::PathExists(DesktopLink()));
  EXPECT_FALSE(platform::PathExists(MenuGroup()));
  EXPECT_TRUE(Recorded(RecordKind::File, "Vymera"));
  EXPECT_FALSE(Recorded(RecordKind::File, "Renewix"));
  EXPECT_FALSE(platform::PathExists(P("res.zip")));
}

TEST_F(Installation, ASkinItemThatDoesNotUnpackFailsTheInstallation) {
  // A folder standing where a skin file goes: the item cannot be written.
  ASSERT_TRUE(platform::MakeFolderTree(P("res/main.xml/x")));
  InstallResult result = Run(home_.ProgramFolder());
  EXPECT_EQ(result.failure, InstallFailure::Skins);
  EXPECT_EQ(result.path, P("res/main.xml"));
  EXPECT_EQ(steps_, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_FALSE(platform::PathExists(P(VYMERA_TOOLKIT_FILE)));
  EXPECT_FALSE(platform::PathExists(MenuGroup()));
}

TEST_F(Installation, LinksInTheWayAreReplacedNeverWrittenThrough) {
  testing_support::TempFolder outside;
  platform::WriteFileAtomically(outside.File("file"), "not ours");
  ASSERT_TRUE(platform::MakeFolderTree(outside.File("folder")));
  platform::WriteFileAtomically(outside.File("folder/main.xml"), "not ours either");
  ASSERT_TRUE(platform::MakeFolderTree(home_.ProgramFolder()));
  ASSERT_EQ(symlink(outside.File("file").c_str(), P("Dismantor").c_str()), 0);
  ASSERT_EQ(symlink(outside.File("folder").c_str(), P("Renewix").c_str()), 0);
  ASSERT_EQ(symlink(outside.File("folder").c_str(), P("res").c_str()), 0);

  ASSERT_TRUE(Run(home_.ProgramFolder()).Ok());
  EXPECT_EQ(Read(P("Dismantor")), Payload(items::kRemoval));
  EXPECT_EQ(Read(P("Renewix")), Payload(items::kUpdater));
  EXPECT_TRUE(platform::IsFolder(P("res")));
  EXPECT_EQ(Read(P("res/main.xml")), Read(VYMERA_TEST_SKIN_SOURCES "/main.xml"));
  EXPECT_EQ(Read(outside.File("file")), "not ours");
  EXPECT_EQ(Read(outside.File("folder/main.xml")), "not ours either");
  EXPECT_EQ(Names(outside.File("folder")), (std::set<std::string>{"main.xml"}));

  // A link left inside the skins is replaced by the item too.
  ASSERT_EQ(unlink(P("res/main.xml").c_str()), 0);
  ASSERT_EQ(symlink(outside.File("folder/main.xml").c_str(), P("res/main.xml").c_str()), 0);
  ASSERT_TRUE(Run(home_.ProgramFolder()).Ok());
  EXPECT_EQ(Read(P("res/main.xml")), Read(VYMERA_TEST_SKIN_SOURCES "/main.xml"));
  EXPECT_EQ(Read(outside.File("folder/main.xml")), "not ours either");
}

TEST_F(Installation, AStopEndsItAtTheNextStepWithoutTemporaryFiles) {
  std::atomic<bool> stop{true};
  InstallResult result = Run(home_.ProgramFolder(), true, true, &stop);
  EXPECT_EQ(result.failure, InstallFailure::Cancelled);
  EXPECT_EQ(steps_, (std::vector<int>{1}));
  EXPECT_EQ(Names(home_.ProgramFolder()), (std::set<std::string>{"Vymera", "install.record"}));
  EXPECT_TRUE(Recorded(RecordKind::File, "Vymera"));
  EXPECT_FALSE(platform::PathExists(MenuGroup()));
}

TEST_F(Installation, SeveralMissingParentsAndATrailingSlash) {
  std::string folder = home_.File("a/b/c/Vymera");
  Run(folder + "/");
  EXPECT_EQ(Mode(folder), 0755);
  EXPECT_EQ(Read(folder + "/Vymera"), Payload(items::kClient));
  EXPECT_EQ(Read(folder + "/user/DefaultUser.jpg"), Payload(items::kDefaultPicture));
  EXPECT_EQ(ClientPathIn(folder + "/"), folder + "/Vymera");
}

TEST_F(Installation, TheDeviceRuleGoesSystemWideOnlyWhereItMayBeWritten) {
  Run(home_.ProgramFolder());
  EXPECT_EQ(Read(home_.SystemRules() + "/70-vymera-devices.rules"), Read(VYMERA_DEVICE_RULES));

  TempHome other;
  InstallPlaces places = other.Places();
  places.systemRules = other.File("no-such-folder");
  EXPECT_TRUE(Install(InstallRequest{other.ProgramFolder(), false, false}, places, [](int) {}).Ok());
  EXPECT_EQ(Read(other.ProgramFolder() + "/70-vymera-devices.rules"), Read(VYMERA_DEVICE_RULES));
  EXPECT_FALSE(platform::PathExists(other.File("no-such-folder")));
}

struct Options {
  bool desktop;
  bool quick;
};

class Shortcuts : public Installation, public ::testing::WithParamInterface<Options> {};

TEST_P(Shortcuts, DesktopEntryOnlyWhenAskedAndTheMenuGroupAlways) {
  Run(home_.ProgramFolder(), GetParam().desktop, GetParam().quick);
  std::string desktop = home_.Desktop() + "/Vymera同步软件.desktop";
  if (GetParam().desktop) {
    std::string entry = Read(desktop);
    EXPECT_NE(entry.find("\nName=Vymera同步软件\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nExec=" + P("Vymera") + "\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nPath=" + home_.ProgramFolder() + "\n"), std::string::npos) << entry;
    EXPECT_EQ(Mode(desktop), 0755);
  } else {
    EXPECT_FALSE(platform::PathExists(desktop));
  }
  // No quick-launch bar here, so nothing else lands anywhere for it.
  EXPECT_EQ(Names(home_.Desktop()).size(), GetParam().desktop ? 1u : 0u);

  std::string group = home_.Applications() + "/Vymera同步软件";
  EXPECT_EQ(Names(group), (std::set<std::string>{"Vymera同步软件.desktop", "卸载Vymera同步软件.desktop"}));
  EXPECT_NE(Read(group + "/Vymera同步软件.desktop").find("\nExec=" + P("Vymera") + "\n"), std::string::npos);
  std::string removal = Read(group + "/卸载Vymera同步软件.desktop");
  EXPECT_NE(removal.find("\nName=卸载Vymera同步软件\n"), std::string::npos) << removal;
  EXPECT_NE(removal.find("\nExec=" + P("Dismantor") + "\n"), std::string::npos) << removal;

  std::string menu = Read(home_.Config() + "/menus/applications-merged/Vymera同步软件.menu");
  EXPECT_NE(menu.find("<Name>Vymera同步软件</Name>"), std::string::npos) << menu;
  EXPECT_NE(menu.find("<Filename>Vymera同步软件-Vymera同步软件.desktop</Filename>"), std::string::npos) << menu;
  EXPECT_NE(menu.find("<Filename>Vymera同步软件-卸载Vymera同步软件.desktop</Filename>"), std::string::npos) << menu;
  EXPECT_NE(Read(home_.Data() + "/desktop-directories/Vymera同步软件.directory").find("Name=Vymera同步软件\n"),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(EachOptionSet, Shortcuts,
                         ::testing::Values(Options{true, true}, Options{true, false}, Options{false, true},
                                           Options{false, false}));

// Runs a copy of a real program from path until the test ends it.
class RunningProgram {
 public:
  explicit RunningProgram(const std::string& path) {
    std::filesystem::copy_file("/bin/sleep", path, std::filesystem::copy_options::overwrite_existing);
    ::chmod(path.c_str(), 0755);
    char* argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>("30"), nullptr};
    if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, environ) != 0) pid_ = -1;
  }
  ~RunningProgram() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  bool Alive() const { return pid_ > 0 && kill(pid_, 0) == 0; }
  std::string Executable() const {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/" + std::to_string(pid_) + "/exe", ec).string();
  }

 private:
  pid_t pid_ = -1;
};

TEST_F(Installation, OverAnInstallationKeepsUserDataAndReplacesProgramsAndSkins) {
  Run(home_.ProgramFolder());
  // The user's own data since then.
  platform::WriteFileAtomically(P("userinfoset.xml"), "my users");
  platform::WriteFileAtomically(P("systemset.ini"), "my settings");
  platform::WriteFileAtomically(P("user/DefaultUser.jpg"), "my picture");
  platform::WriteFileAtomically(P("user/1.jpg"), "a user's picture");
  // Older programs and skins; one program runs, one skin item was left read-only.
  platform::WriteFileAtomically(P("Dismantor"), "old");
  platform::WriteFileAtomically(P(VYMERA_TOOLKIT_FILE), "old");
  RunningProgram updater(P("Renewix"));
  ASSERT_TRUE(updater.Alive());
  platform::WriteFileAtomically(P("res/main.xml"), "old skin");
  ::chmod(P("res/main.xml").c_str(), 0444);

  Run(home_.ProgramFolder());

  EXPECT_EQ(Read(P("userinfoset.xml")), "my users");
  EXPECT_EQ(Read(P("systemset.ini")), "my settings");
  EXPECT_EQ(Read(P("user/DefaultUser.jpg")), "my picture");
  EXPECT_EQ(Read(P("user/1.jpg")), "a user's picture");
  EXPECT_EQ(Read(P("Dismantor")), Payload(items::kRemoval));
  EXPECT_EQ(Read(P(VYMERA_TOOLKIT_FILE)), Payload(items::kToolkit));
  // The running program keeps its old file; the new one took the name.
  EXPECT_EQ(Read(P("Renewix")), Payload(items::kUpdater));
  EXPECT_EQ(Mode(P("Renewix")), 0755);
  EXPECT_TRUE(updater.Alive());
  EXPECT_EQ(updater.Executable(), P("Renewix") + " (deleted)");
  EXPECT_EQ(Read(P("res/main.xml")), Read(VYMERA_TEST_SKIN_SOURCES "/main.xml"));
  EXPECT_EQ(Names(P("user")), (std::set<std::string>{"DefaultUser.jpg", "1.jpg"}));
}

TEST_F(Installation, AFolderWhereTheUserListGoesFailsTheInstallationAndStays) {
  ASSERT_TRUE(platform::MakeFolderTree(P("userinfoset.xml")));
  InstallResult result = Run(home_.ProgramFolder());
  EXPECT_EQ(result.failure, InstallFailure::Write);
  EXPECT_EQ(result.path, P("userinfoset.xml"));
  EXPECT_TRUE(platform::IsFolder(P("userinfoset.xml")));
  EXPECT_EQ(Names(home_.ProgramFolder()).count("userinfoset.xml.setup-new"), 0u);
}

TEST(WritePayload, AllBytesOrFalse) {
  testing_support::TempFolder folder;
  std::string path = folder.File("client");
  EXPECT_TRUE(platform::WritePayload(120, "EXE", path, platform::PayloadUse::Program));
  EXPECT_EQ(Read(path), Payload(items::kClient));
  EXPECT_EQ(Mode(path) & 0111, 0111);

  EXPECT_FALSE(platform::WritePayload(120, "DLL", folder.File("wrong-type")));
  EXPECT_FALSE(platform::WritePayload(999, "EXE", folder.File("no-item")));
  EXPECT_FALSE(platform::WritePayload(120, "EXE", folder.File("missing/client")));
  ASSERT_TRUE(platform::MakeFolderTree(folder.File("a-folder")));
  EXPECT_FALSE(platform::WritePayload(120, "EXE", folder.File("a-folder")));
  EXPECT_TRUE(platform::IsFolder(folder.File("a-folder")));
  EXPECT_EQ(Names(folder.path()), (std::set<std::string>{"client", "a-folder"}));
}

class Finishing : public Installation {};

TEST_F(Finishing, AutostartEntryHoldsTheClientAndStartupArgument) {
  Run(home_.ProgramFolder());
  EXPECT_EQ(ApplyFinishOptions(FinishOptions{true, false, true}, ClientPathIn(home_.ProgramFolder())), "");
  std::string entry = Read(platform::AutostartEntryPath("Vymera"));
  EXPECT_EQ(platform::AutostartEntryPath("Vymera"), home_.Config() + "/autostart/Vymera.desktop");
  EXPECT_NE(entry.find("\nExec=" + P("Vymera") + " /Startup\n"), std::string::npos) << entry;
  EXPECT_FALSE(platform::PathExists(P("marker")));
}

TEST_F(Finishing, StartNowRunsTheInstalledClientInItsFolder) {
  Run(home_.ProgramFolder());
  ApplyFinishOptions(FinishOptions{false, true, false}, ClientPathIn(home_.ProgramFolder()));
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Read(P("marker")).find('\n') == std::string::npos && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(Read(P("marker")), "started \n");
  EXPECT_FALSE(platform::PathExists(platform::AutostartEntryPath("Vymera")));
}

TEST_F(Finishing, AClientThatCannotStartIsToldNotIgnored) {
  std::string problem = ApplyFinishOptions(FinishOptions{false, true, false}, P("Vymera"));
  EXPECT_NE(problem.find("无法启动Vymera同步软件：" + P("Vymera")), std::string::npos) << problem;
}

}  // namespace
