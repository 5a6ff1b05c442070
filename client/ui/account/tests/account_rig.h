#pragma once
// What the tests of the account dialogs share: the client rig, a way to see which message dialogs
// came up, and a client core that talks to a scripted service instead of the reference one for the
// answers the reference service never gives.

#include <memory>
#include <string>
#include <vector>

#include "client/core/sync/tests/sync_rig.h"
#include "client/ui/testing/client_rig.h"
#include "toolkit/testing/headless.h"

namespace account_testing {

class AccountTest : public client_testing::ClientTest {
 protected:
  // The next count message dialogs that come up are recorded by the picture (or text) they show
  // and let go at once.
  void WatchMessages(int count = 1) {
    for (int i = 0; i < count; ++i) {
      WhenWindowStands("MessageBoxDlg", [this](HWND box) {
        std::string image = BkImage(box, "textimage");
        if (image.empty()) image = BkImage(box, "msginfo");
        messages.push_back(image.empty() ? Text(box, "msgtext") : image);
        toolkit::headless::AdvanceTime(1500);
      });
    }
  }

  // Builds the client core anew over the scripted service; the users of the file are loaded.
  void UseScriptedService() {
    context.reset();
    core.reset();
    core =
        std::make_unique<ClientCore>(folder.path(), host, clock, ClientPorts{ports, ports, ports}, scripted.Endpoint());
    core->LoadUsers();
    context = std::make_unique<ClientContext>(
        ClientContext{*core, nullptr, client_testing::kMemberSite, client_testing::kCompanySite});
  }
  void Answer(std::string body) {
    scripted.SetRule([body](const std::string&, const testing_support::Form&) { return body; });
  }

  static std::vector<std::string> ShownErrorLabels(HWND dialog);
  static std::string Focused(HWND dialog);

  std::vector<std::string> messages;
  testing_support::FakeService scripted;
};

inline std::vector<std::string> AccountTest::ShownErrorLabels(HWND dialog) {
  std::vector<std::string> shown;
  for (const char* name : {"erroraccountnoexists", "errorpassworderror", "erroremailinvaliad",
                           "erroraccountalreadyexists", "errorpasswordblank", "erroraccountblank"}) {
    if (Shown(dialog, name)) shown.emplace_back(name);
  }
  return shown;
}

inline std::string AccountTest::Focused(HWND dialog) {
  CPaintManagerUI* manager = CPaintManagerUI::FromWindow(dialog);
  CControlUI* focus = manager ? manager->GetFocus() : nullptr;
  return focus ? focus->GetName().str() : std::string();
}

using Labels = std::vector<std::string>;

}  // namespace account_testing
