#include "client/ui/frame/tests/frame_test_support.h"

#include <sys/stat.h>

namespace frame_testing {

void FrameTest::SetUp() {
  ClientTest::SetUp();
  ::mkdir(VYMERA_SCREENSHOT_DIR, 0755);
}

void FrameTest::TearDown() {
  if (main && IsWindow(main)) DestroyWindow(main);
  frame = nullptr;
  main = nullptr;
  ClientTest::TearDown();
}

void FrameTest::SeedUser(const std::string& account, const std::string& password, bool autologin, bool autoclear) {
  UserRecord& user = AddUser(account, password, true, false);
  user.autologin = autologin;
  user.autoclear = autoclear;
  core->StoreUser(user);
}

void FrameTest::StartFrame() {
  // The frame builds its own core over the same folder, devices and service.
  context.reset();
  core.reset();
  CFrameWindowWnd::Setup setup;
  setup.dataFolder = folder.path();
  setup.host = &host;
  setup.endpoint = service.Endpoint();
  setup.memberSite = client_testing::kMemberSite;
  setup.companySite = client_testing::kCompanySite;
  setup.iconPng = std::string(VYMERA_CLIENT_SKIN_FOLDER) + "/logo_small.png";
  frame = toolkit::OpenWindow<CFrameWindowWnd>(nullptr, CFrameWindowWnd::kTitle, UI_WNDSTYLE_FRAME, WS_EX_APPWINDOW,
                                               RECT{0, 0, CFrameWindowWnd::kWidth, CFrameWindowWnd::kHeight},
                                               std::move(setup));
  ASSERT_NE(frame, nullptr);
  main = frame->GetHWND();
  frame->CenterWindow();
  frame->ShowWindow(true, true);
  Pump();
}

void FrameTest::Shot(HWND window, const std::string& name) {
  EXPECT_TRUE(toolkit::headless::RenderToPng(window, std::string(VYMERA_SCREENSHOT_DIR) + "/" + name + ".png")) << name;
}

}  // namespace frame_testing
