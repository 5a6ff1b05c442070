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
    std::string path = platform::JoinPath(work.path, item.fileName);
    if (!platform::WritePayload(item.id, item.type, path, item.use)) {
      RemoveWorkFolder(work.path, places.temporary);
      toolkit::ShowMessageBox(nullptr, CStdString(bootstrap::kNotWritten + path), bootstrap::kCaption,
                              MB_OK | MB_ICONERROR);
      return {};
    }
  }
  BootResult result;
  result.workFolder = work.path;
  std::string setup = platform::JoinPath(work.path, bootstrap::kSetup.fileName);
  result.started = platform::StartProgram(setup, places.startFolder);
  if (!result.started) {
    RemoveWorkFolder(work.path, places.temporary);
    toolkit::ShowMessageBox(nullptr, CStdString(bootstrap::kNotStarted + setup), bootstrap::kCaption, MB_OK | MB_ICONERROR);
    result.workFolder.clear();
  }
  return result;
}

void RemoveWorkFolder(const std::string& folder, const std::string& temporary) {
  size_t slash = folder.rfind('/');
  if (slash == std::string::npos || folder.substr(0, slash) != temporary ||
      !IsGuidFolderName(std::string_view(folder).substr(slash + 1))) {
    return;
  }
  for (const BootItem& item : bootstrap::kAll) unlink(platform::JoinPath(folder, item.fileName).c_str());
  rmdir(folder.c_str());
}
