#include "removal/removal.h"

#include <algorithm>

#include "install/install_items.h"
#include "install/install_record.h"
#include "install/install_names.h"
#include "platform/autostart.h"
#include "platform/desktop/window_registry.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "removal/remove_beneath.h"

namespace {

// The folder a recorded path is resolved beneath, and the path below it.
struct Located {
  std::string root;
  std::string below;
};

Located Locate(const RecordedPath& recorded, const RecordPlaces& places) {
  if (!platform::IsAbsolutePath(recorded.path)) return {places.programFolder, recorded.path};
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
      Gone rule = RemoveRule(recorded.path);
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

std::optional<InstallRecord> LoadInstallRecord(const RemovalPlaces& places) {
  return InstallRecord::Load(RecordPlacesFor(places.programFolder, places.shortcuts, places.systemRules));
}

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
  // Deleting a running program's file succeeds on Linux, so its window is what tells that it runs
  // there. Windows refuses to delete a running program's file: the client that cannot go (below)
  // tells it too, before anything else has gone.
  if (platform::FindWindowByTitle(removal::kClientTitle, false, places.windowRegistry)) {
    return {RemovalOutcome::ClientRunning, {}};
  }
  std::optional<InstallRecord> record = LoadInstallRecord(places);
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
