#pragma once
// What the tests of the notice windows share: the client rig with a main window standing, as the
// frame's would, for the windows to be owned by and placed against.

#include "client/ui/testing/client_rig.h"
#include "toolkit/testing/skin_test_window.h"

namespace notice_testing {

inline constexpr const char* kMainSkin = "<Window size=\"850,600\"><Container/></Window>";

class NoticeTest : public client_testing::ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_TRUE(main.Create(nullptr, "Vymera同步软件", UI_WNDSTYLE_FRAME, 0, 100, 50, 850, 600));
    context->mainWindow = main;
  }
  void TearDown() override {
    if (IsWindow(main)) DestroyWindow(main);
    ClientTest::TearDown();
  }

  static RECT RectOf(HWND window) {
    RECT rc{};
    GetWindowRect(window, &rc);
    return rc;
  }
  // Every window titled name, oldest first.
  static std::vector<HWND> WindowsNamed(std::string_view name) {
    std::vector<HWND> found;
    for (HWND h : toolkit::AllWindows()) {
      char title[256] = {};
      if (IsWindow(h) && GetWindowTextA(h, title, sizeof title) && name == title) found.push_back(h);
    }
    return found;
  }

  toolkit_testing::SkinWindow main{kMainSkin};
};

}  // namespace notice_testing
