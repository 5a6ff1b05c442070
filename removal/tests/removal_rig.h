#pragma once
// What the removal tests share: an installed tree in a temporary home (made with the installer's
// own shortcut maker and autostart entry) and another process that shows the client's window.

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "installer/installation.h"
#include "installer/tests/install_rig.h"
#include "platform/autostart.h"
#include "platform/desktop/window_registry.h"
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
  }

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
    return places;
  }

 private:
  TempHome home_;
};

// Another process with the client's main window title, until the object goes.
class RunningClient {
 public:
  explicit RunningClient(const std::string& registry) {
    int ready[2], stop[2];
    if (pipe(ready) != 0 || pipe(stop) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(stop[1]);
      platform::WindowRegistry windows(registry);
      char ok = windows.Publish("Vymera同步软件", [] {}) ? 'y' : 'n';
      (void)!write(ready[1], &ok, 1);
      // Serves until the test closes its end of the pipe, at most ten seconds.
      for (int i = 0; i < 1000; ++i) {
        windows.Serve();
        pollfd p{stop[0], POLLIN, 0};
        if (poll(&p, 1, 10) == 1) break;
      }
      _exit(0);
    }
    close(ready[1]);
    close(stop[0]);
    stop_ = stop[1];
    char ok = 0;
    ready_ = read(ready[0], &ok, 1) == 1 && ok == 'y';
    close(ready[0]);
  }
  ~RunningClient() {
    if (stop_ >= 0) close(stop_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  RunningClient(const RunningClient&) = delete;
  RunningClient& operator=(const RunningClient&) = delete;
  bool Ready() const { return ready_; }

 private:
  pid_t pid_ = -1;
  int stop_ = -1;
  bool ready_ = false;
};

}  // namespace removal_testing
