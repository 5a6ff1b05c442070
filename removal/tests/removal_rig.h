#pragma once
// What the removal tests share: an installed tree in a temporary home (made with the installer's
// own shortcut maker and autostart entry) with the record of what it installed, and another
// process that shows the client's window.

#include <string>

#include "install/install_record.h"
#include "installer/installation.h"
#include "installer/tests/install_rig.h"
#include "platform/autostart.h"
#include "platform/desktop/tests/running_window.h"
#include "removal/removal.h"

namespace removal_testing {

using installer_testing::Read;
using installer_testing::TempHome;

// The files an installation leaves in the program folder, with a recognisable content each.
inline constexpr const char* kProgramFiles[] = {
    "Vymera", "Dismantor", "Renewix", "res.zip", VYMERA_TOOLKIT_FILE, VYMERA_KIT_FILE, "70-vymera-devices.rules"};
inline constexpr const char* kUserFiles[] = {"userinfoset.xml", "systemset.ini", "user/DefaultUser.jpg"};

class InstalledTree {
 public:
  InstalledTree() {
    platform::MakeFolderTree(Program("res"));
    platform::MakeFolderTree(Program("user"));
    for (const char* name : kProgramFiles) platform::WriteFileAtomically(Program(name), name);
    for (const char* name : kUserFiles) platform::WriteFileAtomically(Program(name), name);
    platform::WriteFileAtomically(Program("res/main.xml"), "<Window/>");
    ShellLinkMaker links(ShortcutPlaces::ForUser());
    links.MakeDesktopLink(Program("Vymera"), installation::kClientLink);
    links.MakeProgramsLink(Program("Vymera"), installation::kMenuGroup, installation::kClientLink);
    links.MakeProgramsLink(Program("Dismantor"), installation::kMenuGroup, installation::kRemovalLink);
    platform::WriteAutostartEntry("Vymera", Program("Vymera"), "/Startup");
    for (const char* name : kProgramFiles) {
      if (!IsKeptInProgramFolder(name)) record_.Add(RecordKind::File, name);
    }
    record_.Add(RecordKind::Folder, "res");
    record_.Add(RecordKind::File, "res/main.xml");
    record_.Add(RecordKind::File, DesktopLink());
    record_.Add(RecordKind::Folder, MenuGroup());
    record_.Add(RecordKind::File, MenuGroup() + "/Vymera同步软件.desktop");
    record_.Add(RecordKind::File, MenuGroup() + "/卸载Vymera同步软件.desktop");
    record_.Add(RecordKind::File, MenuFile());
    record_.Add(RecordKind::File, DirectoryFile());
    SaveRecord();
  }

  // What the installation recorded; the tests may add to it and save it again.
  InstallRecord& Record() { return record_; }
  void SaveRecord() const { record_.Save(Program()); }
  std::string RecordFile() const { return Program("install.record"); }
  std::string SystemRule() const { return home_.SystemRules() + "/70-vymera-devices.rules"; }

  std::string Program(const std::string& name = "") const {
    return name.empty() ? home_.ProgramFolder() : home_.ProgramFolder() + "/" + name;
  }
  const TempHome& Home() const { return home_; }
  std::string DesktopLink() const { return home_.Desktop() + "/Vymera同步软件.desktop"; }
  std::string MenuGroup() const { return home_.Applications() + "/Vymera同步软件"; }
  std::string MenuFile() const { return ShellLinkMaker(ShortcutPlaces::ForUser()).MenuFile(installation::kMenuGroup); }
  std::string DirectoryFile() const {
    return ShellLinkMaker(ShortcutPlaces::ForUser()).DirectoryFile(installation::kMenuGroup);
  }
  std::string Autostart() const { return platform::AutostartEntryPath("Vymera"); }

  RemovalPlaces Places() const {
    RemovalPlaces places = RemovalPlaces::ForUser();
    places.programFolder = Program();
    places.windowRegistry = home_.Registry();
    places.systemRules = home_.SystemRules();
    return places;
  }

 private:
  TempHome home_;
  InstallRecord record_;
};

// The client's main window, up in another process until the object goes.
class RunningClient : public testing_support::RunningWindow {
 public:
  explicit RunningClient(const std::string& registry) : RunningWindow(registry, "Vymera同步软件") {}
};

}  // namespace removal_testing
