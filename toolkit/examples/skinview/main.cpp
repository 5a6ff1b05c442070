// skinview: opens a skin file in a real window, or with --png writes what the headless twin draws.
//   skinview SKIN.xml
//   skinview SKIN.xml --png OUT.png
#include <cstdio>
#include <filesystem>
#include <string>

#include "toolkit/examples/skinview/skin_view_window.h"
#include "toolkit/testing/headless.h"

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--png")) {
    std::fprintf(stderr, "usage: skinview SKIN.xml [--png OUT.png]\n");
    return 2;
  }
  bool toPng = argc == 4;
  if (toPng) toolkit::headless::Use();
  std::filesystem::path skin = std::filesystem::absolute(argv[1]);
  CPaintManagerUI::SetResourcePath(CStdString(skin.parent_path().string()));

  std::string skinFile = skin.filename().string();
  auto cannotBuild = [&] {
    std::fprintf(stderr, "skinview: cannot build %s\n", argv[1]);
    return 1;
  };
  if (toPng) {
    CSkinViewWnd window(skinFile);  // held here, so drawn and destroyed here
    if (!window.Create(nullptr, "skinview", UI_WNDSTYLE_FRAME, WS_EX_APPWINDOW, 0, 0, 400, 300)) return cannotBuild();
    window.CenterWindow();
    toolkit::headless::Pump();
    bool ok = toolkit::headless::RenderToPng(window, argv[3]);
    DestroyWindow(window);
    if (!ok) std::fprintf(stderr, "skinview: cannot write %s\n", argv[3]);
    return ok ? 0 : 1;
  }
  auto* window = toolkit::OpenWindow<CSkinViewWnd>(nullptr, "skinview", UI_WNDSTYLE_FRAME, WS_EX_APPWINDOW,
                                                   RECT{0, 0, 400, 300}, skinFile);
  if (!window) return cannotBuild();
  window->CenterWindow();
  window->ShowWindow(true, true);
  return CPaintManagerUI::MessageLoop();  // the window deletes itself when it closes
}
