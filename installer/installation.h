#pragma once
// The installation itself: the carried items written into the program folder in a fixed order, the
// skins unpacked, the shortcuts made, the default user data written where there is none. Nothing
// is reported to the user: a write that fails is skipped and the next step goes on.

#include <functional>
#include <string>

#include "installer/shell_link_maker.h"

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
inline constexpr const char* kMenuGroup = "Vymera同步软件";
inline constexpr const char* kClientLink = "Vymera同步软件";
inline constexpr const char* kRemovalLink = "卸载Vymera同步软件";
inline constexpr const char* kSystemRules = "/etc/udev/rules.d";
}  // namespace installation

// Where the client is installed in programFolder.
std::string ClientPathIn(const std::string& programFolder);

// Runs every step in order, calling progress(step) after each numbered one (1 to kSteps) and
// finished() before the user folder is made, the last step.
void Install(const InstallRequest& request, const InstallPlaces& places, const std::function<void(int)>& progress,
             const std::function<void()>& finished);
