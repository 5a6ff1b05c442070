// Renewix: fetches the current release of the client and starts it. Skins come from "res.zip"
// beside the program; the program ends with 0 whatever happens.
#include <cstdlib>

#include "platform/paths.h"
#include "toolkit/ui.h"
#include "updater/release_signature.h"
#include "updater/renewix_dlg.h"
#include "updater/update_endpoint.h"

int main() {
  std::string folder = platform::ExecutableFolder();
  CPaintManagerUI::SetResourceZip("res.zip");

  CRenewixDlg::Setup setup;
  setup.endpoint = kUpdateEndpoint;
  setup.folder = folder;
  setup.publicKeyHex = std::string(BuiltInReleaseKey());
  // Ends at once, also from the download thread: a stopped download is abandoned, not finished.
  setup.end = [] { std::_Exit(0); };

  CRenewixDlg* window =
      toolkit::OpenWindow<CRenewixDlg>(nullptr, "升级软件", UI_WNDSTYLE_FRAME, 0, RECT{0, 0, 850, 600}, std::move(setup));
  if (!window) return 0;
  window->CenterWindow();
  window->ShowWindow(true, true);
  CPaintManagerUI::MessageLoop();
  return 0;
}
