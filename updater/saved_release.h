#pragma once
// The release on disk: "updatetemp" beside the updater, which is started from there. It appears
// only whole and executable, renamed into place from a fresh name, so that nothing half written
// can ever run under it.

#include <string>
#include <string_view>

// Writes bytes under a fresh name in path's folder and renames it over path. False when any step
// fails (a full disk, a folder that cannot be written): path then does not change and no part of
// the bytes remains.
bool SaveRelease(const std::string& path, std::string_view bytes);

// Removes what an earlier run left at path, so that it is never started or taken for a release.
void RemoveSavedRelease(const std::string& path);
