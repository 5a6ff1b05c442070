#include "toolkit/desktop/desktop.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/recording_window.h"

using namespace toolkit_testing;

class Desktop : public HeadlessTest {};

TEST_F(Desktop, TrayEventsReachTheTargetAsTheShellReportsThem) {
  RecordingWnd main;
  ASSERT_TRUE(main.Create(nullptr, "tray owner", WS_POPUP, 0, 0, 0, 10, 10));
  auto tray = toolkit::TrayIcon::Create(main, WM_APP + 10, 103, "", "Vymera同步软件");
  ASSERT_TRUE(tray);
  EXPECT_EQ(tray->GetMode(), toolkit::TrayIcon::Mode::Headless);
  tray->Activate();
  tray->ContextMenu();
  Pump();
  std::vector<LPARAM> events;
  for (const auto& r : main.log) {
    if (r.msg == WM_APP + 10) {
      EXPECT_EQ(r.wParam, 103u);
      events.push_back(r.lParam);
    }
  }
  EXPECT_EQ(events, (std::vector<LPARAM>{WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP}));
  EXPECT_EQ(toolkit::TrayIcon::Create(nullptr, WM_APP + 10, 103, "", ""), nullptr);
  DestroyWindow(main);
}

TEST_F(Desktop, HeadlessMessageBoxAndFolderPickerGiveTheirSetAnswers) {
  toolkit::headless::SetMessageBoxAnswer(IDNO);
  EXPECT_EQ(toolkit::ShowMessageBox(nullptr, "用户登录未知错误", "登录错误", MB_YESNO | MB_ICONQUESTION), static_cast<int>(IDNO));
  EXPECT_EQ(toolkit::headless::LastMessageBoxText(), "用户登录未知错误");
  toolkit::headless::SetFolderAnswer(std::nullopt);
  EXPECT_FALSE(toolkit::BrowseForFolder(nullptr, "浏览文件夹："));
  toolkit::headless::SetFolderAnswer("/opt/Vymera");
  EXPECT_EQ(toolkit::BrowseForFolder(nullptr, "浏览文件夹："), "/opt/Vymera");
  toolkit::headless::SetMessageBoxAnswer(IDOK);
}
