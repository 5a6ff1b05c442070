#pragma once
// The client rig with a main window that records what the small windows post to it.

#include "client/ui/testing/client_rig.h"
#include "client/core/client_messages.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/testing/headless.h"
#include "toolkit/testing/recording_window.h"

namespace menus_testing {

inline constexpr RECT kMainRect{100, 50, 950, 650};

class MenusTest : public client_testing::ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_TRUE(main.Create(nullptr, "Vymera同步软件", UI_WNDSTYLE_FRAME, 0, kMainRect));
    context->mainWindow = main;
  }

  // The (wParam, lParam) of every message msg the main window got.
  std::vector<std::pair<WPARAM, LPARAM>> Posted(UINT msg) const {
    std::vector<std::pair<WPARAM, LPARAM>> out;
    for (const auto& r : main.log) {
      if (r.msg == msg) out.emplace_back(r.wParam, r.lParam);
    }
    return out;
  }

  template <class W>
  static W* WindowObject(HWND hwnd) {
    return dynamic_cast<W*>(toolkit::Dispatcher::Instance().Find(hwnd));
  }

  toolkit_testing::RecordingWnd main;
};

}  // namespace menus_testing
