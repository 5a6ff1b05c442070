#include "installer/installation.h"

#include <unistd.h>

#include "installer/install_items.h"
#include "installer/skin_unpacker.h"
#include "platform/file_io.h"
#include "platform/paths.h"

namespace {

using namespace install_items;

std::string Place(const std::string& folder, const InstallItem& item) {
  return platform::JoinPath(folder, item.fileName);
}

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

bool Write(const std::string& folder, const InstallItem& item) {
  return platform::WritePayload(item.id, item.type, Place(folder, item), item.use);
}

// The user's own data is never replaced: the item goes to a file of its own first and takes the
// name only while nothing has it. A folder in its place counts as missing, and makes the write fail.
void WriteUnlessPresent(const std::string& folder, const InstallItem& item) {
  std::string path = Place(folder, item);
  if (platform::PathExists(path) && !platform::IsFolder(path)) return;
  std::string fresh = path + ".setup-new";
  if (!platform::WritePayload(item.id, item.type, fresh, item.use)) return;
  if (!platform::RenameWithoutReplacing(fresh, path)) unlink(fresh.c_str());
}

// The rule always lands in the program folder; system-wide only where Setup may write, which
// takes the superuser. udev reads a changed rule at the next device event.
void WriteDeviceRule(const std::string& folder, const std::string& systemRules) {
  Write(folder, kHidSupport);
  if (!systemRules.empty() && access(systemRules.c_str(), W_OK) == 0) {
    platform::WritePayload(kHidSupport.id, kHidSupport.type, Place(systemRules, kHidSupport), kHidSupport.use);
  }
}

void MakeShortcuts(const std::string& client, const std::string& removal, const InstallRequest& request,
                   const InstallPlaces& places) {
  ShellLinkMaker links(places.shortcuts);
  if (request.desktopIcon) links.MakeDesktopLink(client, installation::kClientLink);
  if (request.quickStart) links.MakeQuickLaunchLink(client, installation::kClientLink);
  links.MakeProgramsLink(client, installation::kMenuGroup, installation::kClientLink);
  links.MakeProgramsLink(removal, installation::kMenuGroup, installation::kRemovalLink);
}

}  // namespace

InstallPlaces InstallPlaces::ForUser() { return InstallPlaces{ShortcutPlaces::ForUser(), installation::kSystemRules}; }

std::string ClientPathIn(const std::string& programFolder) {
  return Place(WithoutTrailingSlash(programFolder), kClient);
}

void Install(const InstallRequest& request, const InstallPlaces& places, const std::function<void(int)>& progress,
             const std::function<void()>& finished) {
  std::string folder = WithoutTrailingSlash(request.folder);
  platform::MakeFolderTree(folder);

  std::string client = Place(folder, kClient);
  Write(folder, kClient);
  progress(1);
  Write(folder, kRemoval);
  progress(2);
  MakeShortcuts(client, Place(folder, kRemoval), request, places);
  Write(folder, kUpdater);
  progress(3);
  Write(folder, kSkinArchive);
  progress(4);
  UnpackSkins(folder);
  Write(folder, kToolkit);
  progress(5);
  WriteDeviceRule(folder, places.systemRules);
  progress(6);
  Write(folder, kKit);
  progress(7);
  WriteUnlessPresent(folder, kUserList);
  WriteUnlessPresent(folder, kSettings);
  finished();

  std::string users = platform::JoinPath(folder, kUserFolder);
  if (!platform::IsFolder(users)) {
    platform::MakeFolderTree(users, 0700);
    Write(folder, kDefaultPicture);
  }
}
