#pragma once
// The installation itself: the carried items written into the program folder in a fixed order, the
// skins unpacked, the shortcuts made once the programs they start are in place, the default user
// data written where there is none, and what was written kept in the install record. The first
// step that fails ends the installation and is named in its result.

#include <atomic>
#include <functional>
#include <string>

#include "install/install_names.h"
#include "install/install_record.h"
#include "install/shell_link_maker.h"

struct InstallRequest {
  std::string folder;  // the program folder, an absolute path
  bool desktopIcon = true;
  bool quickStart = true;
};

// Where the installation reaches outside the program folder.
struct InstallPlaces {
  ShortcutPlaces shortcuts;
  // Where the system reads udev rules; the device rule goes there too when Setup may write there.
  // Empty: never.
  std::string systemRules;

  static InstallPlaces ForUser();
};

namespace installation {
inline constexpr int kSteps = 7;
}  // namespace installation

// Where the client is installed in programFolder.
std::string ClientPathIn(const std::string& programFolder);

enum class InstallFailure {
  None,
  Folder,     // the program folder (path) could not be made
  Write,      // the file at path could not be written
  Skins,      // the skin item at path did not unpack
  Shortcut,   // the entry at path could not be made
  Cancelled,  // the user ended the installation
};

struct InstallResult {
  InstallFailure failure = InstallFailure::None;
  std::string path;  // what could not be made or written
  bool Ok() const { return failure == InstallFailure::None; }
};

// Runs every step in order, calling progress(step) after each numbered one (1 to kSteps), until one
// fails or cancel (may be null) is set; then records in the program folder what was written, so
// that a partial installation can be removed as well as a whole one.
InstallResult Install(const InstallRequest& request, const InstallPlaces& places,
                      const std::function<void(int)>& progress, const std::atomic<bool>* cancel = nullptr);
