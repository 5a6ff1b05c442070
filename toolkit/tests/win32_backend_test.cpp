// The Win32 backend under a real window system (Wine on a virtual X server in the Windows build):
// real windows of a skin, the message model inside modal loops, input as the system sends it, and
// the GDI+ picture of a skin.

#include <gtest/gtest.h>

#include <filesystem>

#include "toolkit/backend/win32/win32_backend.h"
#include "toolkit/controls/edit.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/desktop/desktop.h"
#include "toolkit/examples/skinview/skin_view_window.h"
#include "toolkit/testing/recording_window.h"
#include "toolkit/tests/win32_system_input.h"

namespace {

using toolkit::Dispatcher;
using toolkit_testing::RecordingWnd;

constexpr UINT kPing = WM_APP + 40;

// Runs the loop until done holds or limitMs passed; false on the time-out.
bool RunFor(const std::function<bool()>& done, int limitMs = 5000) {
  int64_t end = Dispatcher::Instance().GetBackend().NowMs() + limitMs;
  Dispatcher::Instance().RunUntil([&] { return done() || Dispatcher::Instance().GetBackend().NowMs() > end; });
  return done();
}

class Win32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    // A skin view ends the program's loop when it goes; each test starts with a loop that runs.
    Dispatcher::Instance().ClearQuit();
    ASSERT_FALSE(Dispatcher::Instance().GetBackend().IsHeadless());
    CPaintManagerUI::SetResourcePath(
        CStdString(std::filesystem::path(VYMERA_SKINVIEW_SAMPLE).parent_path().string()));
  }
  // The sample skin as a real window; null when it did not build.
  CSkinViewWnd* OpenSkin(const char* title) {
    auto* w = new CSkinViewWnd(std::filesystem::path(VYMERA_SKINVIEW_SAMPLE).filename().string());
    if (!w->Create(nullptr, title, UI_WNDSTYLE_FRAME, 0, 100, 100, 456, 300)) {
      delete w;
      return nullptr;
    }
    w->ShowWindow(true);
    RunFor([] { return false; }, 100);
    // Laid out now, not at the first paint, which a slow X server may not have asked for yet.
    w->Manager().DoLayout();
    return w;
  }
  static void Close(CSkinViewWnd* w) {
    DestroyWindow(*w);
    Dispatcher::Instance().ClearQuit();
  }
  static void* System(HWND hwnd) {
    CWindowWnd* w = Dispatcher::Instance().Find(hwnd);
    return w && w->Native() ? w->Native()->SystemHandle() : nullptr;
  }
  // The centre of the named control; a click there never lands on the caption band (which would
  // start the system's move loop and wait for a button the test never lets go).
  static CPoint CentreOf(CSkinViewWnd& w, const char* name) {
    CControlUI* c = w.Manager().FindControl(name);
    CRect r = c ? c->GetPos() : CRect();
    EXPECT_GT(r.top, 33) << name << " is laid out below the caption";
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
};

TEST_F(Win32Test, Window_SkinOpensAsRealPopupWithClassRegionAndTitle) {
  CSkinViewWnd* w = OpenSkin("皮肤预览");
  ASSERT_NE(w, nullptr);
  void* hwnd = System(*w);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(win32_input::FindTopLevel("皮肤预览"), hwnd) << "found by its title, as the programs find each other";
  EXPECT_EQ(win32_input::ClassName(hwnd), "UISkinView");
  EXPECT_TRUE(win32_input::IsPopupWithoutCaption(hwnd));
  ASSERT_TRUE(win32_input::HasRegion(hwnd)) << "the rounded corners clip the window";
  EXPECT_FALSE(win32_input::InRegion(hwnd, 0, 0)) << "the corner pixel is cut away";
  EXPECT_TRUE(win32_input::InRegion(hwnd, 228, 150));
  Close(w);
}

TEST_F(Win32Test, Loop_PostedMessageAndTimerArriveInsideModalLoop) {
  RecordingWnd owner;
  ASSERT_TRUE(owner.Create(nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 10, 10, 200, 100));
  RecordingWnd dialog;
  int ticks = 0;
  dialog.onMessage = [&](UINT msg, WPARAM wParam, LPARAM, bool& handled) -> LRESULT {
    if (msg == WM_TIMER && wParam == 7 && ++ticks == 3) dialog.Close(IDOK);
    if (msg == WM_TIMER) handled = true;
    return 0;
  };
  ASSERT_TRUE(dialog.Create(owner, "dialog", WS_POPUP, 0, 40, 40, 120, 60));
  SetTimer(dialog, 7, 20);
  owner.PostMessage(kPing, 1, 2);
  EXPECT_EQ(dialog.ShowModal(), static_cast<UINT>(IDOK));
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(owner.Count(kPing), 1) << "posted before the modal loop, delivered inside it";
  DestroyWindow(owner);
}

TEST_F(Win32Test, Loop_TimersFireInsideSystemMessageBox) {
  RecordingWnd owner;
  ASSERT_TRUE(owner.Create(nullptr, "box owner", WS_POPUP | WS_VISIBLE, 0, 10, 10, 200, 100));
  int ticks = 0;
  owner.onMessage = [&](UINT msg, WPARAM wParam, LPARAM, bool& handled) -> LRESULT {
    if (msg != WM_TIMER || wParam != 3) return 0;
    handled = true;
    // A timer of the toolkit, inside the system's own loop: it answers the box.
    if (++ticks >= 2) win32_input::AnswerDialog("提示");
    return 0;
  };
  SetTimer(owner, 3, 50);
  int answer = toolkit::ShowMessageBox(owner, CStdString("网络连接失败"), CStdString("提示"), MB_OK);
  EXPECT_EQ(answer, static_cast<int>(IDOK));
  EXPECT_GE(ticks, 2);
  DestroyWindow(owner);
}

TEST_F(Win32Test, Input_SentAndPostedClicksReachTheButton) {
  CSkinViewWnd* w = OpenSkin("点击");
  ASSERT_NE(w, nullptr);
  void* hwnd = System(*w);
  CPoint page2 = CentreOf(*w, "page2");
  if (page2.y <= 33) GTEST_SKIP() << "no layout";
  auto* option = static_cast<COptionUI*>(w->Manager().FindControl("page2"));
  ASSERT_NE(option, nullptr);
  int before = w->Clicks();
  win32_input::SendClick(hwnd, page2.x, page2.y);
  EXPECT_EQ(w->Clicks(), before + 1);
  EXPECT_TRUE(option->IsSelected());
  CPoint page1 = CentreOf(*w, "page1");
  win32_input::PostClick(hwnd, page1.x, page1.y);
  EXPECT_TRUE(RunFor([&] { return w->Clicks() == before + 2; }));
  EXPECT_FALSE(option->IsSelected()) << "the other option of the group took the selection";
  Close(w);
}

TEST_F(Win32Test, Input_CharactersTypedIntoEditReachTheControl) {
  CSkinViewWnd* w = OpenSkin("输入");
  ASSERT_NE(w, nullptr);
  auto* account = static_cast<CEditUI*>(w->Manager().FindControl("Account"));
  ASSERT_NE(account, nullptr);
  account->SetFocus();
  RunFor([] { return false; }, 50);
  void* edit = win32_input::ChildEdit(System(*w));
  ASSERT_NE(edit, nullptr) << "a system edit field stands over the edit control";
  // Latin letters and, as an input method delivers them, Chinese characters.
  win32_input::TypeChars(edit, "zhang三");
  EXPECT_EQ(account->GetText().str(), "zhang三");
  Close(w);
}

TEST_F(Win32Test, Picture_SkinDrawnByGdiplusAsPng) {
  CSkinViewWnd* w = OpenSkin("画面");
  ASSERT_NE(w, nullptr);
  std::filesystem::create_directories(VYMERA_SCREENSHOT_DIR);
  std::string file = std::string(VYMERA_SCREENSHOT_DIR) + "/win32_skinview.png";
  std::filesystem::remove(file);
  ASSERT_TRUE(toolkit::SaveWindowPicture(Dispatcher::Instance().Find(*w)->Native(), file));
  EXPECT_GT(std::filesystem::file_size(file), 2000u) << "a picture with content, not an empty frame";
  Close(w);
}

TEST_F(Win32Test, Tray_IconEventsAndTaskbarRestart) {
  RecordingWnd target;
  ASSERT_TRUE(target.Create(nullptr, "tray target", WS_POPUP, 0, 0, 0, 10, 10));
  auto icon = toolkit::TrayIcon::Create(target, WM_APP + 10, 103, "", CStdString("Vymera同步软件"));
  if (!icon) GTEST_SKIP() << "Wine's shell refused the notification-area icon here";
  EXPECT_EQ(icon->GetMode(), toolkit::TrayMode::ShellIcon);
  void* tray = win32_input::FindByClass("TrayIconClass");
  ASSERT_NE(tray, nullptr);
  win32_input::Send(tray, WM_APP + 10, 1, WM_LBUTTONDBLCLK);
  win32_input::Send(tray, WM_APP + 10, 1, WM_RBUTTONUP);
  RunFor([&] { return target.Count(WM_APP + 10) >= 2; }, 1000);
  EXPECT_GE(target.Count(WM_APP + 10), 2);
  // The taskbar restarted: the icon is added again, and still goes away for good on Remove.
  win32_input::Send(tray, win32_input::TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(icon->Remove());
  DestroyWindow(target);
}

}  // namespace
