#include "bootstrap/bootstrap.h"

#include <unistd.h>

#include <climits>

#include "bootstrap/work_folder.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "toolkit/desktop/desktop.h"

BootPlaces BootPlaces::ForUser() {
  BootPlaces places;
  places.temporary = TemporaryFolder();
  char folder[PATH_MAX];
  // A current folder that has gone leaves Setup in the root rather than nowhere.
  places.startFolder = getcwd(folder, sizeof folder) ? folder : "/";
  return places;
}

BootResult RunBootwyn(const BootPlaces& places) {
  WorkFolder work = MakeWorkFolder(places.temporary);
  if (work.result == WorkFolderResult::NoGuid) return {};
  if (work.result == WorkFolderResult::NotMade) {
    toolkit::ShowMessageBox(nullptr, bootstrap::kNoFolder, bootstrap::kCaption, MB_OK);
    return {};
  }
  for (const BootItem& item : bootstrap::kAll) {
    platform::WritePayload(item.id, item.type, platform::JoinPath(work.path, item.fileName), item.use);
  }
  BootResult result;
  result.workFolder = work.path;
  result.started =
      platform::StartProgram(platform::JoinPath(work.path, bootstrap::kSetup.fileName), places.startFolder);
  return result;
}
