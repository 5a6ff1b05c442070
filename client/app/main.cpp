// Vymera: the tray client. One runs per user session; it finds its skins in "res" beside the program
// and keeps its settings, users and pictures there too, or in the user's data folder when it may not
// write beside itself (installed by the system's package manager). It ends with 0 whatever happens.
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "client/core/api/web_addresses.h"
#include "client/ui/frame/frame_window.h"
#include "client/ui/menus/update_offer.h"
#include "platform/desktop/single_instance.h"
#include "platform/desktop/window_registry.h"
#include "platform/hid/device_host.h"
#include "platform/paths.h"
#include "platform/program_data.h"
#include "platform/termination_signals.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/desktop/desktop.h"

namespace {
// How long a second start waits for the first one's window: its update check runs before the window
// exists and may wait for the service.
constexpr auto kFirstWindowWait = std::chrono::seconds(15);
}  // namespace

int main(int argc, char** argv) {
  // The session's one client: the lock comes before anything else, so that two starts at the same
  // moment cannot both run; the one that does not get it raises the other's window and ends. It
  // waits with the default signal handling, so a termination request ends it at once.
  std::string registry = platform::WindowRegistry::DefaultFolder();
  platform::InstanceLock instance(registry, "Vymera");
  if (!platform::ClaimSingleInstance(instance, CFrameWindowWnd::kTitle, kFirstWindowWait, registry)) return 0;

  // Taken before any thread starts, so that none of them is ended halfway by a termination signal.
  platform::UniqueFd signals = platform::TakeTerminationSignals();
  // "/Startup" alone, exactly, is how the session's autostart entry starts the client: in the tray.
  bool startHidden = argc == 2 && std::string(argv[1]) == "/Startup";

  std::string folder = platform::ExecutableFolder();
  CPaintManagerUI::SetResourcePath(CStdString(folder + "/res/"));
  std::string icon = folder + "/res/logo_small.png";
  toolkit::RegisterIconResource(CFrameWindowWnd::kTrayIconResource, icon);
  toolkit::RegisterIconResource(CFrameWindowWnd::kWindowIconResource, icon);
  toolkit::PublishTitledWindows();

  std::unique_ptr<platform::HidHost> host = platform::MakeDeviceHidHost();
  CFrameWindowWnd::Setup setup;
  std::string data = platform::ProgramDataFolder(folder, "Vymera");
  setup.dataFolder = data.empty() ? folder : data;
  setup.host = host.get();
  setup.memberSite = kMemberSite;
  setup.companySite = kCompanySite;
  setup.iconPng = icon;
  auto frame = std::make_unique<CFrameWindowWnd>(std::move(setup));

  // Settings carried over from an installation that took its session entry with it start again.
  frame->Core().settings.RestoreStartWithDesktop();

#if VYMERA_SELF_UPDATE
  // A newer release is offered before the window exists; taking it hands over to the updater.
  OfferUpdate(frame->Core().api, folder, [] { std::_Exit(0); });
#endif

  if (!frame->Create(nullptr, CFrameWindowWnd::kTitle, UI_WNDSTYLE_FRAME, WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, 0, 0,
                     CFrameWindowWnd::kWidth, CFrameWindowWnd::kHeight)) {
    return 0;
  }
  CFrameWindowWnd* window = frame.release();
  toolkit::SkinWindowAccess::DeleteOnFinalMessage(*window);
  HWND hwnd = window->GetHWND();
  window->WatchTerminationSignals(std::move(signals));
  if (startHidden) {
    window->ShowWindow(false, false);
  } else {
    window->CenterWindow();
    window->ShowWindow(true, true);
  }
  CPaintManagerUI::MessageLoop();
  // The users are stored; what is left (the devices' handles, the reader thread) goes in order.
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
  toolkit::Dispatcher::Instance().PumpPending();
  return 0;
}
