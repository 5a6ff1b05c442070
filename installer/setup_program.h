#pragma once
// The start of Setup: nothing is installed while the client runs; otherwise the setup window opens.

#include <string>

#include "installer/setup_dlg.h"

namespace setup_program {
inline constexpr const char* kClientTitle = "Vymera同步软件";
inline constexpr const char* kSkinArchive = "setupres.zip";
}  // namespace setup_program

// What Setup takes from its surroundings: the user's folders, the system's free-space and library
// answers, and how it ends.
CSetupDlg::Setup SetupForUser(std::function<void()> end);

// When a window titled like the client's main window is up (asked in windowRegistry), tells the
// user in the question's "检测软件" mode and returns null: nothing is installed. Otherwise opens the
// setup window, centred and shown, and returns it (it deletes itself when its window goes); null
// when it cannot be built.
CSetupDlg* OpenSetup(CSetupDlg::Setup setup, const std::string& windowRegistry);
