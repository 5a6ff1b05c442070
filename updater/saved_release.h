#pragma once
// The release on disk: "updatetemp" beside the updater, which is started from there. It appears
// only whole and executable, renamed into place from a fresh name, so that nothing half written
// can ever run under it.

#include <string>
#include <string_view>

#include "platform/file_io.h"

// Writes bytes under a fresh name in path's folder and renames it over path. False when any step
// fails (a full disk, a folder that cannot be written): path then does not change and no part of
// the bytes remains.
bool SaveRelease(const std::string& path, std::string_view bytes);

// A release on its way to path: received into a fresh file beside it as it arrives, judged there,
// and only then made executable and renamed into place. Dropped unplaced, it leaves nothing behind.
class IncomingRelease {
 public:
  explicit IncomingRelease(const std::string& path) : writer_(path) {}

  // The fresh file, open for reading and writing; -1 when it could not be made.
  int Descriptor() const { return writer_.Descriptor(); }
  // Makes the file executable and renames it over path. False when any step fails: path then does
  // not change and the fresh file is gone.
  bool Place() { return writer_.SetMode(0755) && writer_.Commit(); }

 private:
  platform::AtomicFileWriter writer_;
};

// Removes what an earlier run left at path, so that it is never started or taken for a release.
void RemoveSavedRelease(const std::string& path);
