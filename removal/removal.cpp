#include "removal/removal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "install/install_items.h"
#include "install/install_record.h"
#include "install/install_names.h"
#include "platform/autostart.h"
#include "platform/desktop/window_registry.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/unique_fd.h"
#include "toolkit/desktop/desktop.h"

namespace {

enum class Gone { Removed, Missing, Failed };

Gone FromErrno() { return errno == ENOENT ? Gone::Missing : Gone::Failed; }

// Removes relative (plain components, "/" separators) below root without following a link on the
// way: a path that no longer leads through real folders is not the recorded one and stays. A folder
// goes only when it is empty; a file is removed by its name, and a folder where a file was recorded
// stays.
Gone RemoveBeneath(const std::string& root, const std::string& relative, bool folder) {
  platform::UniqueFd dir(open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir) return FromErrno();
  size_t start = 0;
  for (size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', start)) {
    std::string part = relative.substr(start, slash - start);
    platform::UniqueFd next(openat(dir.get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next) return FromErrno();
    dir = std::move(next);
    start = slash + 1;
  }
  std::string name = relative.substr(start);
  struct stat info {};
  if (fstatat(dir.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return FromErrno();
  if (S_ISDIR(info.st_mode) != folder) return Gone::Failed;
  return unlinkat(dir.get(), name.c_str(), folder ? AT_REMOVEDIR : 0) == 0 ? Gone::Removed : FromErrno();
}

// The folder a recorded path is resolved beneath, and the path below it.
struct Located {
  std::string root;
  std::string below;
};

Located Locate(const RecordedPath& recorded, const RecordPlaces& places) {
  if (recorded.path.front() != '/') return {places.programFolder, recorded.path};
  for (const std::string& folder : places.entryFolders) {
    if (recorded.path.starts_with(folder + "/")) return {folder, recorded.path.substr(folder.size() + 1)};
  }
  return {};
}

size_t Depth(const std::string& path) { return static_cast<size_t>(std::count(path.begin(), path.end(), '/')); }

class Removal {
 public:
  Removal(const RemovalPlaces& places, InstallRecord record)
      : places_(places),
        recordPlaces_(RecordPlacesFor(places.programFolder, places.shortcuts, places.systemRules)),
        record_(std::move(record)) {}

  static std::optional<InstallRecord> LoadRecord(const RemovalPlaces& places) {
    return InstallRecord::Load(RecordPlacesFor(places.programFolder, places.shortcuts, places.systemRules));
  }

  RemovalReport Run() {
    RecordedPath client{RecordKind::File, install_items::kClient.fileName};
    const auto& paths = record_.Paths();
    // While the client cannot go, nothing else does.
    if (std::find(paths.begin(), paths.end(), client) != paths.end() && Remove(client) == Gone::Failed) {
      return {RemovalOutcome::ClientRunning, {}};
    }
    for (const RecordedPath& recorded : paths) {
      if (recorded.kind == RecordKind::File) Keep(recorded, Remove(recorded));
    }
    // Folders once their contents are gone, the deepest first; one that still holds anything stays.
    std::vector<RecordedPath> folders;
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(folders),
                 [](const RecordedPath& r) { return r.kind == RecordKind::Folder; });
    std::stable_sort(folders.begin(), folders.end(),
                     [](const RecordedPath& a, const RecordedPath& b) { return Depth(a.path) > Depth(b.path); });
    for (const RecordedPath& folder : folders) Keep(folder, Remove(folder));

    RemovalReport report{RemovalOutcome::Removed, {}};
    for (const RecordedPath& recorded : paths) {
      if (recorded.kind != RecordKind::Rule) continue;
      Gone rule = unlink(recorded.path.c_str()) == 0 ? Gone::Removed : FromErrno();
      Keep(recorded, rule);
      if (rule == Gone::Failed) report.ruleLeft = recorded.path;
    }
    std::string clientPath = platform::JoinPath(places_.programFolder, client.path);
    // The entry is ours to remove when it starts this folder's client, whichever of Setup or the
    // client's settings wrote it.
    if (!places_.autostartName.empty() && platform::AutostartEntryStarts(places_.autostartName, clientPath)) {
      platform::RemoveAutostartEntry(places_.autostartName);
    }
    left_.Save(places_.programFolder);
    return report;
  }

 private:
  Gone Remove(const RecordedPath& recorded) {
    Located at = Locate(recorded, recordPlaces_);
    if (at.root.empty()) return Gone::Failed;
    return RemoveBeneath(at.root, at.below, recorded.kind == RecordKind::Folder);
  }

  void Keep(const RecordedPath& recorded, Gone gone) {
    if (gone == Gone::Failed) left_.Add(recorded.kind, recorded.path);
  }

  const RemovalPlaces& places_;
  RecordPlaces recordPlaces_;
  InstallRecord record_;
  InstallRecord left_;  // what could not be removed, kept for another run
};

}  // namespace

RemovalPlaces RemovalPlaces::ForUser() {
  RemovalPlaces places;
  places.programFolder = platform::ExecutableFolder();
  places.shortcuts = ShortcutPlaces::ForUser();
  places.autostartName = removal::kAutostartName;
  places.windowRegistry = platform::WindowRegistry::DefaultFolder();
  places.systemRules = installation::kSystemRules;
  return places;
}

RemovalReport RemoveInstallation(const RemovalPlaces& places) {
  // Deleting a running program's file succeeds here, so its window is what tells that it runs.
  if (platform::FindWindowByTitle(removal::kClientTitle, false, places.windowRegistry)) {
    return {RemovalOutcome::ClientRunning, {}};
  }
  std::optional<InstallRecord> record = Removal::LoadRecord(places);
  if (!record) return {RemovalOutcome::NoRecord, {}};
  return Removal(places, std::move(*record)).Run();
}

std::string RemovalMessage(const RemovalReport& report) {
  switch (report.outcome) {
    case RemovalOutcome::ClientRunning:
      return removal::kClientRunning;
    case RemovalOutcome::NoRecord:
      return removal::kNoRecord;
    case RemovalOutcome::Removed:
      break;
  }
  if (report.ruleLeft.empty()) return removal::kRemoved;
  return std::string(removal::kRemoved) + "\n\n系统的设备规则需要管理员权限才能删除，请在终端中运行：\nsudo rm " +
         report.ruleLeft;
}

void RunDismantor(const RemovalPlaces& places) {
  if (!Removal::LoadRecord(places)) {
    toolkit::ShowMessageBox(nullptr, removal::kNoRecord, removal::kCaption, MB_OK | MB_ICONWARNING);
    return;
  }
  if (toolkit::ShowMessageBox(nullptr, removal::kQuestion, removal::kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return;
  }
  RemovalReport report = RemoveInstallation(places);
  UINT icon = report.ruleLeft.empty() ? MB_ICONINFORMATION : MB_ICONWARNING;
  toolkit::ShowMessageBox(nullptr, RemovalMessage(report), removal::kCaption, MB_OK | icon);
}
