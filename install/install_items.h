#pragma once
// What Setup carries and what each item becomes in the program folder. The file names of the two
// libraries are the ones the programs load, and the programs' ending (".exe" on Windows, none
// here), handed over by the build.

#include "platform/payload.h"

struct InstallItem {
  const char* type;
  unsigned id;
  const char* fileName;  // below the program folder
  platform::PayloadUse use;
};

namespace install_items {

using platform::PayloadUse;

inline constexpr InstallItem kClient{"EXE", 120, "Vymera" VYMERA_PROGRAM_SUFFIX, PayloadUse::Program};
inline constexpr InstallItem kRemoval{"EXE", 121, "Dismantor" VYMERA_PROGRAM_SUFFIX, PayloadUse::Program};
inline constexpr InstallItem kUpdater{"EXE", 122, "Renewix" VYMERA_PROGRAM_SUFFIX, PayloadUse::Program};
inline constexpr InstallItem kSkinArchive{"ZIP", 123, "res.zip", PayloadUse::Data};
inline constexpr InstallItem kToolkit{"DLL", 119, VYMERA_TOOLKIT_FILE, PayloadUse::Data};
// The udev rule that lets the user at the seat open the scale and the pedometer.
inline constexpr InstallItem kHidSupport{"DLL", 128, "70-vymera-devices.rules", PayloadUse::Data};
inline constexpr InstallItem kKit{"DLL", 129, VYMERA_KIT_FILE, PayloadUse::Data};
// The user list and the settings hold passwords: only their owner reads them.
inline constexpr InstallItem kUserList{"XML", 125, "userinfoset.xml", PayloadUse::Private};
inline constexpr InstallItem kSettings{"INI", 113, "systemset.ini", PayloadUse::Private};
inline constexpr InstallItem kDefaultPicture{"JPG", 126, "user/DefaultUser.jpg", PayloadUse::Data};

#ifdef _WIN32
// Windows opens HID devices without a rule: Setup carries none there.
inline constexpr bool kCarriesHidSupport = false;
inline constexpr InstallItem kAll[] = {kClient, kRemoval,  kUpdater,  kSkinArchive,   kToolkit,
                                       kKit,    kUserList, kSettings, kDefaultPicture};
#else
inline constexpr bool kCarriesHidSupport = true;
inline constexpr InstallItem kAll[] = {kClient,     kRemoval, kUpdater,  kSkinArchive, kToolkit,
                                       kHidSupport, kKit,     kUserList, kSettings,    kDefaultPicture};
#endif

// The folders the installation makes below the program folder.
inline constexpr const char* kSkinFolder = "res";
inline constexpr const char* kUserFolder = "user";

}  // namespace install_items
