#include "installer/installation.h"

#include <algorithm>

#include "install/install_items.h"
#include "installer/skin_unpacker.h"
#include "platform/file_io.h"
#include "platform/paths.h"

namespace {

using namespace install_items;

std::string Place(const std::string& folder, const InstallItem& item) {
  return platform::JoinPath(folder, item.fileName);
}

std::string WithoutTrailingSlash(std::string folder) {
  // The root keeps its separator: "/" and "C:/" name the root, "C:" the drive's current folder.
  while (folder.size() > std::max<size_t>(platform::RootLength(folder), 1) && folder.back() == '/') folder.pop_back();
  return folder;
}

// A link where a file goes is taken away, so the file replaces it rather than landing where the
// link points.
void RemoveLinkAt(const std::string& path) {
  if (platform::IsLink(path)) platform::RemoveFile(path);
}

// One installation: the steps in order, what they wrote noted in the record, the first failure kept.
class Installer {
 public:
  Installer(const InstallRequest& request, const InstallPlaces& places, const std::atomic<bool>* cancel)
      : folder_(WithoutTrailingSlash(request.folder)),
        request_(request),
        places_(places),
        links_(places.shortcuts),
        cancel_(cancel) {}

  InstallResult Run(const std::function<void(int)>& progress) {
    if (!platform::MakeFolderTree(folder_)) return InstallResult{InstallFailure::Folder, folder_};
    // Installing again keeps what an earlier installation recorded, so that all of it can go.
    RecordPlaces recordPlaces = RecordPlacesFor(folder_, places_.shortcuts, places_.systemRules);
    if (std::optional<InstallRecord> earlier = InstallRecord::Load(recordPlaces)) record_ = std::move(*earlier);

    RunSteps(progress);
    // Whatever happened, what was written can be removed.
    if (!record_.Empty() && !record_.Save(folder_) && result_.Ok()) {
      Fail(InstallFailure::Write, platform::JoinPath(folder_, InstallRecord::kFileName));
    }
    return result_;
  }

 private:
  // True when every step went through.
  bool RunSteps(const std::function<void(int)>& progress) {
    auto done = [&](int step) {
      progress(step);
      return !Cancelled();
    };
    // Shortcuts come once every file the client needs is in place: none ever starts a missing program.
    return Write(kClient) && done(1) && Write(kRemoval) && done(2) && Write(kUpdater) && done(3) &&
           Write(kSkinArchive) && done(4) && Unpack() && Write(kToolkit) && done(5) && WriteDeviceRule() && done(6) &&
           Write(kKit) && MakeShortcuts() && done(7) && WriteUnlessPresent(kUserList) &&
           WriteUnlessPresent(kSettings) && MakeUserFolder();
  }

  bool Fail(InstallFailure failure, const std::string& path) {
    if (result_.Ok()) result_ = InstallResult{failure, path};
    return false;
  }
  bool Cancelled() { return cancel_ && *cancel_ && !Fail(InstallFailure::Cancelled, folder_); }

  bool WriteItem(const InstallItem& item, const std::string& path) {
    RemoveLinkAt(path);
    if (!platform::WritePayload(item.id, item.type, path, item.use)) return Fail(InstallFailure::Write, path);
    return true;
  }

  bool Write(const InstallItem& item) {
    if (!WriteItem(item, Place(folder_, item))) return false;
    if (!IsKeptInProgramFolder(item.fileName)) record_.Add(RecordKind::File, item.fileName);
    return true;
  }

  // The user's own data is never replaced: the item goes to a file of its own first and takes the
  // name only while nothing has it. A folder in its place is not the user's data and cannot be
  // replaced either: the installation fails on it.
  bool WriteUnlessPresent(const InstallItem& item) {
    std::string path = Place(folder_, item);
    if (platform::PathExists(path) && !platform::IsFolder(path)) return true;
    std::string fresh = path + ".setup-new";
    bool written = platform::WritePayload(item.id, item.type, fresh, item.use);
    if (written && platform::RenameWithoutReplacing(fresh, path)) return true;
    platform::RemoveFile(fresh);
    return Fail(InstallFailure::Write, path);
  }

  bool Unpack() {
    SkinUnpacking skins = UnpackSkins(folder_, cancel_);
    for (const std::string& folder : skins.folders) record_.Add(RecordKind::Folder, folder);
    for (const std::string& file : skins.files) record_.Add(RecordKind::File, file);
    if (skins.cancelled) return !Cancelled();
    return skins.failed.empty() || Fail(InstallFailure::Skins, skins.failed);
  }

  // The rule always lands in the program folder; system-wide only where Setup may write, which
  // takes the superuser. udev reads a changed rule at the next device event.
  bool WriteDeviceRule() {
    if (!kCarriesHidSupport) return true;
    if (!Write(kHidSupport)) return false;
    const std::string& rules = places_.systemRules;
    if (rules.empty() || !platform::CanWriteIn(rules)) return true;
    std::string rule = Place(rules, kHidSupport);
    if (!WriteItem(kHidSupport, rule)) return false;
    record_.Add(RecordKind::Rule, rule);
    return true;
  }

  bool Link(bool made, const std::string& path) {
    if (!made) return Fail(InstallFailure::Shortcut, path);
    if (!path.empty()) record_.Add(RecordKind::File, path);  // a menu file the platform has none of
    return true;
  }

  bool MakeShortcuts() {
    std::string client = Place(folder_, kClient);
    std::string removal = Place(folder_, kRemoval);
    using namespace installation;
    // A desktop without its folder yet gets one rather than a failed installation.
    if (request_.desktopIcon && !places_.shortcuts.desktop.empty()) platform::MakeFolderTree(places_.shortcuts.desktop);
    if (request_.desktopIcon &&
        !Link(links_.MakeDesktopLink(client, kClientLink), links_.DesktopLinkPath(kClientLink))) {
      return false;
    }
    // Recorded like the others, so that the removal takes it too.
    // Only where the bar's folder is there: the option is offered by it (HasQuickLaunch).
    if (request_.quickStart && !places_.shortcuts.quickLaunch.empty() &&
        platform::IsFolder(places_.shortcuts.quickLaunch) &&
        !Link(links_.MakeQuickLaunchLink(client, kClientLink), links_.QuickLaunchLinkPath(kClientLink))) {
      return false;
    }
    std::string group = links_.GroupFolder(kMenuGroup);
    bool made = links_.MakeProgramsLink(client, kMenuGroup, kClientLink);
    if (!group.empty() && platform::IsFolder(group)) record_.Add(RecordKind::Folder, group);
    if (!Link(made, links_.ProgramsLinkPath(kMenuGroup, kClientLink))) return false;
    made = links_.MakeProgramsLink(removal, kMenuGroup, kRemovalLink);
    if (!Link(made, links_.ProgramsLinkPath(kMenuGroup, kRemovalLink))) return false;
    return Link(true, links_.MenuFile(kMenuGroup)) && Link(true, links_.DirectoryFile(kMenuGroup));
  }

  bool MakeUserFolder() {
    std::string users = platform::JoinPath(folder_, kUserFolder);
    if (platform::IsFolder(users)) return true;
    if (!platform::MakeFolderTree(users, 0700)) return Fail(InstallFailure::Folder, users);
    return WriteItem(kDefaultPicture, Place(folder_, kDefaultPicture));
  }

  std::string folder_;
  const InstallRequest& request_;
  const InstallPlaces& places_;
  ShellLinkMaker links_;
  const std::atomic<bool>* cancel_;
  InstallRecord record_;
  InstallResult result_;
};

}  // namespace

InstallPlaces InstallPlaces::ForUser() { return InstallPlaces{ShortcutPlaces::ForUser(), installation::kSystemRules}; }

std::string ClientPathIn(const std::string& programFolder) {
  return Place(WithoutTrailingSlash(programFolder), kClient);
}

InstallResult Install(const InstallRequest& request, const InstallPlaces& places,
                      const std::function<void(int)>& progress, const std::atomic<bool>* cancel) {
  return Installer(request, places, cancel).Run(progress);
}
