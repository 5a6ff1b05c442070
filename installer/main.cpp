// Setup: writes the program tree it carries into the folder the user chooses. Skins come from
// "setupres.zip" beside the program; the program ends with 0 whatever happens.
#include <cstdlib>

#include "installer/setup_program.h"
#include "platform/desktop/window_registry.h"
#include "toolkit/ui.h"

int main() {
  CPaintManagerUI::SetResourceZip(setup_program::kSkinArchive);
  // Ends at once, also while the install thread runs: files written so far stay.
  CSetupDlg::Setup setup = SetupForUser([] { std::_Exit(0); });
  if (!OpenSetup(std::move(setup), platform::WindowRegistry::DefaultFolder())) return 0;
  CPaintManagerUI::MessageLoop();
  return 0;
}
