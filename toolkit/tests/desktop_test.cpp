// The desktop's services on the headless twin: message boxes and folder pickers answer from the
// script while the program's loop runs on in virtual time; addresses and tray icons are recorded.
#include <optional>
#include <string>

#include "toolkit/desktop/desktop.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/recording_window.h"
#include "toolkit/tests/nested_dialogs.h"

using namespace toolkit_testing;
using toolkit::Dispatcher;
namespace headless = toolkit::headless;

namespace {

constexpr UINT kTrayMessage = WM_APP + 10;

class Desktop : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    Desk().Reset();
  }
  void TearDown() override {
    Desk().Reset();
    HeadlessTest::TearDown();
  }
  static toolkit::HeadlessDesktop& Desk() { return headless::Desktop(); }
  static int64_t Now() { return Headless().NowMs(); }

  static std::vector<LPARAM> TrayEvents(const RecordingWnd& w) {
    std::vector<LPARAM> events;
    for (const auto& r : w.log) {
      if (r.msg != kTrayMessage) continue;
      EXPECT_EQ(r.wParam, 103u);
      events.push_back(r.lParam);
    }
    return events;
  }
};

}  // namespace

TEST_F(Desktop, TrayClicksReachTheTargetUntilTheIconIsRemoved) {
  RecordingWnd main;
  ASSERT_TRUE(main.Create(nullptr, "tray owner", WS_POPUP, 0, 0, 0, 10, 10));
  auto tray = toolkit::TrayIcon::Create(main, kTrayMessage, 103, "tray.png", "Vymera同步软件");
  ASSERT_TRUE(tray);
  EXPECT_EQ(tray->GetMode(), toolkit::TrayIcon::Mode::Headless);
  EXPECT_TRUE(Desk().DoubleClickTrayIcon());
  EXPECT_TRUE(Desk().RightClickTrayIcon());
  Pump();
  EXPECT_EQ(TrayEvents(main), (std::vector<LPARAM>{WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP}));
  tray->SetTip("Vymera同步软件 - 同步中");
  ASSERT_EQ(Desk().TrayIcons().size(), 1u);
  EXPECT_EQ(Desk().TrayIcons()[0].tip, "Vymera同步软件 - 同步中");
  EXPECT_EQ(Desk().TrayIcons()[0].iconPng, "tray.png");

  EXPECT_TRUE(tray->Remove());
  EXPECT_TRUE(tray->Remove());  // already gone
  EXPECT_TRUE(tray->IsRemoved());
  EXPECT_FALSE(Desk().TrayIcons()[0].shown);
  EXPECT_TRUE(Desk().TrayIcons()[0].removed);
  EXPECT_FALSE(Desk().DoubleClickTrayIcon());
  Desk().RestartNotificationArea();  // a removed icon does not come back
  EXPECT_EQ(Desk().TrayIcons()[0].adds, 1);
  Pump();
  EXPECT_EQ(TrayEvents(main).size(), 3u);
  DestroyWindow(main);
}

TEST_F(Desktop, TrayComesBackWithTheAreaAndGoesWithItsObject) {
  RecordingWnd main;
  ASSERT_TRUE(main.Create(nullptr, "tray owner", WS_POPUP, 0, 0, 0, 10, 10));
  EXPECT_EQ(toolkit::TrayIcon::Create(nullptr, kTrayMessage, 103, "", "x"), nullptr);
  auto tray = toolkit::TrayIcon::Create(main, kTrayMessage, 103, "", "Vymera同步软件");
  ASSERT_TRUE(tray);
  Desk().RestartNotificationArea();
  EXPECT_EQ(Desk().TrayIcons()[0].adds, 2);
  EXPECT_TRUE(Desk().DoubleClickTrayIcon());
  tray.reset();
  EXPECT_FALSE(Desk().TrayIcons()[0].shown);
  EXPECT_FALSE(Desk().TrayIcons()[0].removed);
  Pump();
  EXPECT_EQ(TrayEvents(main), (std::vector<LPARAM>{WM_LBUTTONDBLCLK}));

  Desk().SetNotificationAreaAvailable(false);
  EXPECT_EQ(toolkit::TrayIcon::Create(main, kTrayMessage, 103, "", "Vymera同步软件"), nullptr);
  DestroyWindow(main);
}

TEST_F(Desktop, MessageBoxesAreRecordedAndAnswerFromTheScriptThenTheDefault) {
  RecordingWnd main;
  ASSERT_TRUE(main.Create(nullptr, "main", WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 100));
  Desk().QueueMessageBoxAnswer(IDYES);
  Desk().QueueMessageBoxAnswer(IDYES);
  EXPECT_EQ(toolkit::ShowMessageBox(main, "用户登录未知错误", "登录错误", MB_YESNO | MB_ICONQUESTION),
            static_cast<int>(IDYES));
  // A yes to a box with only OK is taken as closing it.
  EXPECT_EQ(toolkit::ShowMessageBox(nullptr, "创建连接失败！", "软件升级", MB_OK | MB_ICONINFORMATION),
            static_cast<int>(IDOK));
  // The queue is used up: the default (OK) is no button of a yes/no box, so it answers no.
  EXPECT_EQ(toolkit::ShowMessageBox(main, "确认退出吗？", "Vymera同步软件", MB_YESNO), static_cast<int>(IDNO));
  Desk().SetDefaultMessageBoxAnswer(IDYES);
  EXPECT_EQ(toolkit::ShowMessageBox(main, "确认退出吗？", "Vymera同步软件", MB_YESNO), static_cast<int>(IDYES));

  const auto& boxes = Desk().MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].owner, main.Native());
  EXPECT_EQ(boxes[0].text, "用户登录未知错误");
  EXPECT_EQ(boxes[0].caption, "登录错误");
  EXPECT_EQ(boxes[0].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(boxes[1].owner, nullptr);
  EXPECT_EQ(boxes[1].caption, "软件升级");
  EXPECT_TRUE(IsWindowEnabled(main));
  DestroyWindow(main);
}

TEST_F(Desktop, AMessageBoxStandsOnItsOwnerOrTheWorkAreaWithChineseButtons) {
  Desk().SetScreen(CSize(1280, 1024), CRect(0, 24, 1280, 1024));
  RecordingWnd main;
  ASSERT_TRUE(main.Create(nullptr, "main", WS_POPUP | WS_VISIBLE, 0, 200, 150, 400, 300));
  toolkit::ShowMessageBox(main, "确认退出吗？", "Vymera同步软件", MB_YESNO | MB_ICONQUESTION);
  toolkit::ShowMessageBox(nullptr, "卸载成功！", "Vymera同步软件 卸载程序", MB_OK | MB_ICONINFORMATION);
  toolkit::ShowMessageBox(main, "继续吗？", "安装软件", MB_OKCANCEL);
  ShowWindow(main, SW_HIDE);
  toolkit::ShowMessageBox(main, "继续吗？", "安装软件", MB_OK);

  const auto& boxes = Desk().MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].anchor, CRect(200, 150, 600, 450));
  EXPECT_EQ(boxes[0].buttons, (std::vector<std::string>{"是", "否"}));
  EXPECT_EQ(boxes[1].anchor, CRect(0, 24, 1280, 1024));
  EXPECT_EQ(boxes[1].buttons, (std::vector<std::string>{"确定"}));
  EXPECT_EQ(boxes[2].buttons, (std::vector<std::string>{"确定", "取消"}));
  // A hidden owner is nowhere to be centred on.
  EXPECT_EQ(boxes[3].anchor, CRect(0, 24, 1280, 1024));
  DestroyWindow(main);
}

TEST(MessageBoxPlace, CentredOnTheAnchorAndKeptInTheWorkArea) {
  auto at = [](const CRect& anchor, const CRect& work) {
    CPoint p = toolkit::CentredPlace(anchor, CSize(320, 150), work);
    return std::pair<int, int>(p.x, p.y);
  };
  CRect work(0, 24, 1280, 1024);
  EXPECT_EQ(at(CRect(200, 150, 600, 450), work), std::pair(240, 225));
  EXPECT_EQ(at(work, work), std::pair(480, 449));
  // An owner partly off the screen: the box stays whole on it.
  EXPECT_EQ(at(CRect(-300, -100, 100, 100), work), std::pair(0, 24));
  EXPECT_EQ(at(CRect(1200, 950, 1600, 1250), work), std::pair(960, 874));
}

TEST_F(Desktop, TimersAndPostedMessagesGoOnWhileAMessageBoxStands) {
  constexpr UINT kOpen = WM_APP + 1;
  constexpr UINT kPing = WM_APP + 2;
  RecordingWnd main, other;
  ASSERT_TRUE(main.Create(nullptr, "main", WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 100));
  ASSERT_TRUE(other.Create(nullptr, "other", WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 100));
  bool mainEnabledDuringBox = false;
  other.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg == WM_TIMER) {
      mainEnabledDuringBox |= IsWindowEnabled(main);
      other.PostMessage(kPing, 0, 0);
    }
    return 0;
  };
  int answer = 0;
  int64_t stood = 0;
  int ticksDuring = 0, pingsDuring = 0;
  main.onMessage = [&](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (msg != kOpen) return 0;
    handled = true;
    int64_t start = Now();
    int ticks = other.Count(WM_TIMER), pings = other.Count(kPing);
    answer = toolkit::ShowMessageBox(main, "确认退出吗？", "Vymera同步软件", MB_YESNO | MB_ICONQUESTION);
    stood = Now() - start;
    ticksDuring = other.Count(WM_TIMER) - ticks;
    pingsDuring = other.Count(kPing) - pings;
    return 0;
  };
  SetTimer(other, 1, 100);  // ten ticks before the box answers, none at the same time
  Desk().QueueMessageBoxAnswer(IDYES, 1050);
  PostMessage(main, kOpen);
  Dispatcher::Instance().RunUntil([&] { return answer != 0; });
  EXPECT_EQ(answer, static_cast<int>(IDYES));
  EXPECT_EQ(stood, 1050);
  EXPECT_EQ(ticksDuring, 10);
  EXPECT_EQ(pingsDuring, 10);
  EXPECT_FALSE(mainEnabledDuringBox);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_FALSE(Desk().NextAnswerDue());
  main.onMessage = other.onMessage = nullptr;
  DestroyWindow(main);
  DestroyWindow(other);
}

TEST_F(Desktop, AClickOpensADialogWhoseClickOpensAMessageBoxAndTheTimerTicksThroughout) {
  Desk().QueueMessageBoxAnswer(IDYES, 1000);
  NestedDialogs rig(100, 350);  // the box opens 350 ms into the dialog, between two ticks
  ASSERT_TRUE(rig.Run());
  ASSERT_TRUE(rig.boxShown);
  EXPECT_EQ(rig.answer, static_cast<int>(IDYES));
  EXPECT_EQ(rig.withoutBox.ticks, 3);
  EXPECT_EQ(rig.duringBox.ticks, 10);
  EXPECT_EQ(rig.duringBox.pings, 10);
  EXPECT_TRUE(rig.ownersDisabledDuringBox);
  EXPECT_TRUE(IsWindowEnabled(rig.Main()));
  ASSERT_EQ(Desk().MessageBoxes().size(), 1u);
  EXPECT_EQ(Desk().MessageBoxes()[0].owner, rig.DialogNative());
  EXPECT_EQ(Desk().MessageBoxes()[0].caption, "Vymera同步软件");
  EXPECT_EQ(Desk().MessageBoxes()[0].type, MB_YESNO | MB_ICONQUESTION);
}

TEST_F(Desktop, AQuitOrTheOwnersDestructionEndsAMessageBoxWithTheAnswerThatDoesNotGoAhead) {
  RecordingWnd main, timekeeper;
  ASSERT_TRUE(main.Create(nullptr, "main", WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 100));
  ASSERT_TRUE(timekeeper.Create(nullptr, "timekeeper", WS_POPUP, 0, 0, 0, 10, 10));
  SetTimer(timekeeper, 1, 200);
  timekeeper.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg == WM_TIMER) DestroyWindow(main);
    return 0;
  };
  Desk().QueueMessageBoxAnswer(IDYES, 5000);
  int64_t start = Now();
  EXPECT_EQ(toolkit::ShowMessageBox(main, "确认退出吗？", "Vymera同步软件", MB_YESNO), static_cast<int>(IDNO));
  EXPECT_EQ(Now() - start, 200);
  EXPECT_FALSE(IsWindow(main));
  EXPECT_FALSE(Desk().NextAnswerDue());  // the box that went leaves nothing for the clock to wait for

  timekeeper.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg == WM_TIMER) PostQuitMessage(0);
    return 0;
  };
  Desk().QueueMessageBoxAnswer(IDOK, 5000);
  EXPECT_EQ(toolkit::ShowMessageBox(nullptr, "继续吗？", "安装软件", MB_OKCANCEL), static_cast<int>(IDCANCEL));
  EXPECT_TRUE(Dispatcher::Instance().QuitPending());  // left for the outer loops
  Desk().QueueMessageBoxAnswer(IDYES);
  EXPECT_EQ(toolkit::ShowMessageBox(nullptr, "确认退出吗？", "Vymera同步软件", MB_YESNO), static_cast<int>(IDNO));
  timekeeper.onMessage = nullptr;
  DestroyWindow(timekeeper);
}

TEST_F(Desktop, FolderPickerAnswersFromTheScriptAndIsCancelledWithout) {
  RecordingWnd setup;
  ASSERT_TRUE(setup.Create(nullptr, "安装程序", WS_POPUP | WS_VISIBLE, 0, 0, 0, 550, 400));
  SetTimer(setup, 1, 100);
  Desk().QueueFolderAnswer("/opt/Vymera", 450);
  EXPECT_EQ(toolkit::BrowseForFolder(setup, "浏览文件夹："), "/opt/Vymera");
  EXPECT_EQ(setup.Count(WM_TIMER), 4);
  EXPECT_TRUE(IsWindowEnabled(setup));
  Desk().QueueFolderAnswer(std::nullopt);
  EXPECT_FALSE(toolkit::BrowseForFolder(setup, "浏览文件夹："));
  EXPECT_FALSE(toolkit::BrowseForFolder(nullptr, "浏览文件夹："));  // nothing queued: cancelled
  ASSERT_EQ(Desk().FolderPickers().size(), 3u);
  EXPECT_EQ(Desk().FolderPickers()[0].owner, setup.Native());
  EXPECT_EQ(Desk().FolderPickers()[0].title, "浏览文件夹：");
  EXPECT_EQ(Desk().FolderPickers()[2].owner, nullptr);
  DestroyWindow(setup);
}

TEST_F(Desktop, OpenedAddressesAreRecordedWithTheirWindowAndNonAddressesRefused) {
  std::string page = "http://127.0.0.1:8080/softlogin.php?re_url=%2Fhome&logincode=ab12";
  EXPECT_TRUE(toolkit::OpenUrl(page));
  EXPECT_TRUE(toolkit::OpenUrl("http://127.0.0.1:8080/chat", SW_SHOWNORMAL));
  std::string longest = "http://" + std::string(toolkit::kMaxUrlBytes - 7, 'a');
  EXPECT_TRUE(toolkit::OpenUrl(longest));
  EXPECT_FALSE(toolkit::OpenUrl(longest + "a"));
  EXPECT_FALSE(toolkit::OpenUrl(""));
  EXPECT_FALSE(toolkit::OpenUrl("--help"));
  EXPECT_FALSE(toolkit::OpenUrl(std::string("http://a/\0b", 11)));
  EXPECT_FALSE(toolkit::OpenUrl("http://a/\nb"));
  const auto& urls = Desk().OpenedUrls();
  ASSERT_EQ(urls.size(), 3u);
  EXPECT_EQ(urls[0].url, page);
  EXPECT_EQ(urls[0].showCommand, SW_SHOWMAXIMIZED);
  EXPECT_EQ(urls[1].showCommand, SW_SHOWNORMAL);
  EXPECT_EQ(urls[2].url, longest);
}

TEST_F(Desktop, ScreenSizeAndWorkAreaComeFromTheDesktop) {
  Desk().SetScreen(CSize(1920, 1080), CRect(0, 0, 1920, 1040));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
  EXPECT_EQ(GetSystemMetrics(99), 0);
  RECT work{};
  ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(CRect(work), CRect(0, 0, 1920, 1040));
  EXPECT_FALSE(SystemParametersInfo(SPI_GETWORKAREA, 0, nullptr, 0));
  EXPECT_FALSE(SystemParametersInfo(0x1234, 0, &work, 0));
  // A window without a position is centred in the work area, not on the whole screen.
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "centred", WS_POPUP, 0, CW_USEDEFAULT, CW_USEDEFAULT, 200, 100));
  RECT r;
  ASSERT_TRUE(GetWindowRect(w, &r));
  EXPECT_EQ(r.left, 860);
  EXPECT_EQ(r.top, 470);
  DestroyWindow(w);
}
