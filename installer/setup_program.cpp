#include "installer/setup_program.h"

#include "installer/folder_text.h"
#include "installer/quit_question_dlg.h"
#include "platform/desktop/window_registry.h"

CSetupDlg::Setup SetupForUser(std::function<void()> end) {
  CSetupDlg::Setup setup;
  setup.folder = DefaultProgramFolder();
  setup.places = InstallPlaces::ForUser();
  setup.freeSpace = std::make_shared<VolumeFreeSpace>();
  setup.libraries = std::make_shared<LoaderLibraryProbe>();
  setup.end = std::move(end);
  return setup;
}

CSetupDlg* OpenSetup(CSetupDlg::Setup setup, const std::string& windowRegistry) {
  if (platform::FindWindowByTitle(setup_program::kClientTitle, false, windowRegistry)) {
    // Whatever the answer, the installation does not go ahead.
    AskSetupQuestion(nullptr, CQuitQuestionDlg::kClientRunningMode);
    return nullptr;
  }
  // Made at the client's size; the skin gives the window its own.
  CSetupDlg* window = toolkit::OpenWindow<CSetupDlg>(nullptr, CSetupDlg::kWindowName, UI_WNDSTYLE_FRAME, 0,
                                                     RECT{0, 0, 850, 600}, std::move(setup));
  if (!window) return nullptr;
  window->CenterWindow();
  window->ShowWindow(true, true);
  return window;
}
