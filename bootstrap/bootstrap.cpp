#include "bootstrap/bootstrap.h"

#include "bootstrap/work_folder.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/process.h"

BootPlaces BootPlaces::ForUser() {
  BootPlaces places;
  places.temporary = TemporaryFolder();
  places.startFolder = StartFolder();
  return places;
}

BootResult RunBootwyn(const BootPlaces& places, const BootNotice& tell) {
  WorkFolder work = MakeWorkFolder(places.temporary);
  if (work.result == WorkFolderResult::NoGuid) return {};
  if (work.result == WorkFolderResult::NotMade) {
    tell(bootstrap::kNoFolder, false);
    return {};
  }
  for (const BootItem& item : bootstrap::kAll) {
    std::string path = platform::JoinPath(work.path, item.fileName);
    if (!platform::WritePayload(item.id, item.type, path, item.use)) {
      RemoveWorkFolder(work.path, places.temporary);
      tell(bootstrap::kNotWritten + path, true);
      return {};
    }
  }
  BootResult result;
  result.workFolder = work.path;
  std::string setup = platform::JoinPath(work.path, bootstrap::kSetup.fileName);
  result.started = platform::StartProgram(setup, places.startFolder);
  if (!result.started) {
    RemoveWorkFolder(work.path, places.temporary);
    tell(bootstrap::kNotStarted + setup, true);
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
  for (const BootItem& item : bootstrap::kAll) platform::RemoveFile(platform::JoinPath(folder, item.fileName));
  platform::RemoveEmptyFolder(folder);
}
