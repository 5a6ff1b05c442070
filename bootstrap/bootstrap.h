#pragma once
// Bootwyn's work: the installer and the two files it needs beside it written into a fresh work
// folder, and the installer started from there without waiting for it.

#include <functional>
#include <string>

#include "platform/payload.h"

struct BootItem {
  const char* type;
  unsigned id;
  const char* fileName;
  platform::PayloadUse use;
};

namespace bootstrap {

using platform::PayloadUse;

// In the order they are written; Setup loads the toolkit and reads its skins from its own folder.
inline constexpr BootItem kToolkit{"DLL", 128, VYMERA_TOOLKIT_FILE, PayloadUse::Data};
inline constexpr BootItem kSetupSkins{"ZIP", 134, "setupres.zip", PayloadUse::Data};
inline constexpr BootItem kSetup{"EXE", 133, VYMERA_SETUP_FILE, PayloadUse::Program};
inline constexpr BootItem kAll[] = {kToolkit, kSetupSkins, kSetup};

inline constexpr const char* kNoFolder = "无法创建临时目录";
inline constexpr const char* kNotWritten = "无法写入临时目录，请确认临时文件夹可以写入并有足够空间：\n";
inline constexpr const char* kNotStarted = "无法启动安装程序：\n";
inline constexpr const char* kCaption = "安装软件";

}  // namespace bootstrap

// Where Setup starts: temporary is the folder the work folder goes into, startFolder the current
// folder Setup inherits.
struct BootPlaces {
  std::string temporary;
  std::string startFolder;

  // The user's temporary folder and Bootwyn's own current folder.
  static BootPlaces ForUser();
};

// The work folder Setup was written to; empty when none was made.
struct BootResult {
  std::string workFolder;
  bool started = false;
};

// How the user is told: text under the caption bootstrap::kCaption, shown as an error or not.
using BootNotice = std::function<void(const std::string& text, bool error)>;

// Makes the work folder (telling the user when it cannot be made: nothing is then written or
// started), writes the items and starts Setup. When an item cannot be written or Setup cannot be
// started, the user is told and the work folder is removed again.
BootResult RunBootwyn(const BootPlaces& places, const BootNotice& tell);
// The same, telling the user in message boxes.
BootResult RunBootwyn(const BootPlaces& places);

// Removes what Bootwyn wrote into folder, and the folder once it is empty, when folder is a work
// folder (a GUID's name right below temporary); anything else is left alone. Setup calls it as it
// ends, so an installation, finished or not, leaves nothing in the temporary folder.
void RemoveWorkFolder(const std::string& folder, const std::string& temporary);
