#include "removal/removal.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "installer/install_items.h"
#include "installer/installation.h"
#include "platform/autostart.h"
#include "platform/desktop/window_registry.h"
#include "platform/paths.h"
#include "removal/folder_tree.h"
#include "toolkit/desktop/desktop.h"

namespace {

using namespace install_items;

// What the installation wrote into the program folder, in the order it goes. The client comes
// first and on its own: while it cannot go, nothing else does.
constexpr const char* kProgramFiles[] = {
    kSkinArchive.fileName, kSkinFolder, kToolkit.fileName, kUpdater.fileName, kKit.fileName, kHidSupport.fileName,
};

enum class Deleted { Yes, Missing, Failed };

// Deletes the file (or link) at path by its name; a folder standing there is left alone.
Deleted DeleteFile(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return Deleted::Missing;
  if (S_ISDIR(info.st_mode)) return Deleted::Failed;
  return unlink(path.c_str()) == 0 ? Deleted::Yes : Deleted::Failed;
}

void RemoveShortcuts(const ShortcutPlaces& places) {
  ShellLinkMaker links(places);
  std::string name = std::string(installation::kClientLink) + ShellLinkMaker::kExtension;
  if (!places.desktop.empty()) DeleteFile(platform::JoinPath(places.desktop, name));
  // There is no quick-launch bar here, so no link of it to remove.
  if (places.applications.empty()) return;
  RemoveEntry(platform::JoinPath(places.applications, installation::kMenuGroup));
  if (!places.mergedMenus.empty()) DeleteFile(links.MenuFile(installation::kMenuGroup));
  if (!places.directories.empty()) DeleteFile(links.DirectoryFile(installation::kMenuGroup));
}

}  // namespace

RemovalPlaces RemovalPlaces::ForUser() {
  RemovalPlaces places;
  places.programFolder = platform::ExecutableFolder();
  places.shortcuts = ShortcutPlaces::ForUser();
  places.autostartEntry = platform::AutostartEntryPath(removal::kAutostartName);
  places.windowRegistry = platform::WindowRegistry::DefaultFolder();
  return places;
}

RemovalOutcome RemoveInstallation(const RemovalPlaces& places) {
  // Deleting a running program's file succeeds here, so its window is what tells that it runs.
  if (platform::FindWindowByTitle(removal::kClientTitle, false, places.windowRegistry)) {
    return RemovalOutcome::ClientRunning;
  }
  const std::string& folder = places.programFolder;
  if (!folder.empty()) {
    if (DeleteFile(platform::JoinPath(folder, kClient.fileName)) == Deleted::Failed) {
      return RemovalOutcome::ClientRunning;
    }
    for (const char* name : kProgramFiles) RemoveEntry(platform::JoinPath(folder, name));
  }
  RemoveShortcuts(places.shortcuts);
  if (!places.autostartEntry.empty()) DeleteFile(places.autostartEntry);
  return RemovalOutcome::Removed;
}

void RunDismantor(const RemovalPlaces& places) {
  if (toolkit::ShowMessageBox(nullptr, removal::kQuestion, removal::kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  bool removed = RemoveInstallation(places) == RemovalOutcome::Removed;
  toolkit::ShowMessageBox(nullptr, removed ? removal::kRemoved : removal::kClientRunning, removal::kCaption,
                          MB_OK | MB_ICONINFORMATION);
}
