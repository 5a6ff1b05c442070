// An idle real window with no timers of its own: counts the process's context switches over a
// stretch of idle time (10 s unless given), which should stay near zero.
//   bench_toolkit_idle [SECONDS]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "toolkit/core/dispatcher.h"
#include "toolkit/examples/skinview/skin_view_window.h"

namespace {
long Switches() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_nvcsw + u.ru_nivcsw;
}
}  // namespace

int main(int argc, char** argv) {
  int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  std::string sample = VYMERA_SKINVIEW_SAMPLE;
  CPaintManagerUI::SetResourcePath(CStdString(sample.substr(0, sample.rfind('/'))));
  CSkinViewWnd window("sample.xml");
  if (!window.Create(nullptr, "idle", UI_WNDSTYLE_FRAME, 0, 50, 50, 456, 300)) return 1;
  bool headless = toolkit::Dispatcher::Instance().GetBackend().IsHeadless();
  window.ShowWindow(true, true);
  // Let the window map and paint, then measure the quiet time; a helper thread would count in
  // the process's totals too, so only this thread's loop runs.
  auto settle = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (std::chrono::steady_clock::now() < settle) CPaintManagerUI::PumpMessages();
  SetTimer(window, 77, static_cast<UINT>(seconds * 1000));  // only to end the measurement
  long before = Switches();
  auto start = std::chrono::steady_clock::now();
  toolkit::Dispatcher::Instance().RunUntil([&] {
    return std::chrono::steady_clock::now() - start >= std::chrono::seconds(seconds);
  });
  long after = Switches();
  std::printf("backend %s: %ld context switches in %d s of idle\n", headless ? "headless" : "gtk", after - before, seconds);
  DestroyWindow(window);
  return 0;
}
