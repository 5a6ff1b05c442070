// Setup: writes the program tree it carries into the folder the user chooses. Skins come from
// "setupres.zip" beside the program; the program ends with 0 whatever happens.
#include <cstdlib>

#include "bootstrap/bootstrap.h"
#include "bootstrap/work_folder.h"
#include "installer/setup_program.h"
#include "platform/desktop/window_registry.h"
#include "platform/paths.h"
#include "toolkit/ui.h"

namespace {

// Started by Bootwyn, Setup takes its work folder with it: nothing stays in the temporary folder.
void RemoveOwnWorkFolder() { RemoveWorkFolder(platform::ExecutableFolder(), TemporaryFolder()); }

}  // namespace

int main() {
  CPaintManagerUI::SetResourceZip(setup_program::kSkinArchive);
  // Ends once a running installation has stopped: files written so far stay, with their record.
  CSetupDlg::Setup setup = SetupForUser([] {
    RemoveOwnWorkFolder();
    std::_Exit(0);
  });
  if (OpenSetup(std::move(setup), platform::WindowRegistry::DefaultFolder())) CPaintManagerUI::MessageLoop();
  RemoveOwnWorkFolder();
  return 0;
}
