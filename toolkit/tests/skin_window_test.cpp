// The base every skinned window stands on: the window pattern as the window system sees it, who
// deletes a window object, dialogs run modally whose results outlive them, and the pointer
// watched on a window the user cannot resize.

#include <string>

#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/skin_test_window.h"

using namespace toolkit_testing;
namespace headless = toolkit::headless;

namespace {

const char* kBandSkin = R"(<Window size="300,200" caption="0,0,0,40" roundcorner="9,9">
  <VerticalLayout bkcolor="#FFFFFFFF">
    <HorizontalLayout name="band" height="40">
      <Label name="title" width="100"/>
      <Option name="tab" width="60"/>
      <Button name="closebtn" width="40"/>
    </HorizontalLayout>
    <Label name="用户提醒" height="30" width="120"/>
    <Control/>
  </VerticalLayout></Window>)";

class SkinBase : public HeadlessTest {
 protected:
  static LRESULT HitAt(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    return SendMessage(hwnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  }
  static POINT Centre(SkinWindow& w, const char* name) {
    w.pm.DoLayout();
    CRect r = w.pm.FindControl(name)->GetPos();
    return POINT{r.left + r.GetWidth() / 2, r.top + r.GetHeight() / 2};
  }
};

// A small dialog: the caption band drags over everything but buttons.
class DialogWindow : public SkinWindow {
 public:
  using SkinWindow::SkinWindow;

 protected:
  std::span<const std::string_view> CaptionExcludedClasses() const override {
    return toolkit::kDialogCaptionExclusions;
  }
  bool IsBackgroundTransparent() const override { return true; }
};

// A question with an outcome, as the confirmation and add-user dialogs have; gone turns true when
// the object is deleted.
class AskDlg : public CSkinWnd {
 public:
  struct Result {
    bool confirmed = false;
    bool shown = false;
    std::string mode;
  };
  AskDlg(std::string skin, std::string mode, bool* gone)
      : skin_(std::move(skin)), mode_(std::move(mode)), gone_(gone) {}
  ~AskDlg() override { *gone_ = true; }
  Result GetResult() const { return result_; }

  void Notify(TNotifyUI& msg) override {
    if (msg.sType == "windowinit") result_.shown = true;
    if (msg.sType != "click") return;
    result_.confirmed = msg.pSender->GetName() == "确认";
    result_.mode = mode_;
    Close(result_.confirmed ? IDOK : IDCANCEL);
  }
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) override {
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
      handled = true;
      Close(IDCANCEL);
    }
    return 0;
  }

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIQuitQuestion"; }
  CStdString GetSkinFile() const override { return CStdString(skin_); }

 private:
  std::string skin_;
  std::string mode_;
  bool* gone_;
  Result result_;
};

const char* kAskSkin = R"(<Window size="340,190" caption="0,0,0,33" roundcorner="9,9"><HorizontalLayout>
    <Button name="确认" width="80"/><Button name="取消" width="80"/></HorizontalLayout></Window>)";

// The last window made (the dialog while it runs modally).
HWND Newest() {
  auto all = toolkit::AllWindows();
  return all.empty() ? nullptr : all.back();
}

}  // namespace

TEST_F(SkinBase, TheWindowPatternAsTheWindowSystemSeesIt) {
  SkinWindow w(kBandSkin);
  ASSERT_TRUE(w.Create(nullptr, "pattern", UI_WNDSTYLE_DIALOG, 0, 10, 10, 300, 200));
  DWORD style = GetWindowLong(w, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0u);  // the skin draws the caption
  EXPECT_EQ(style & (WS_CLIPSIBLINGS | WS_CLIPCHILDREN), WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  EXPECT_FALSE(static_cast<toolkit::HeadlessWindow*>(w.Native())->Decorated());
  EXPECT_EQ(SendMessage(w, WM_NCCALCSIZE, TRUE, 0), 0);
  EXPECT_EQ(SendMessage(w, WM_NCACTIVATE, FALSE, 0), TRUE);
  EXPECT_EQ(SendMessage(w, WM_NCACTIVATE, TRUE, 0), FALSE);

  // Ordinary windows drag by labels of the band only; the small dialogs by all but buttons.
  POINT title = Centre(w, "title"), tab = Centre(w, "tab"), close = Centre(w, "closebtn");
  EXPECT_EQ(HitAt(w, title.x, title.y), HTCAPTION);
  EXPECT_EQ(HitAt(w, tab.x, tab.y), HTCLIENT);
  EXPECT_EQ(HitAt(w, close.x, close.y), HTCLIENT);
  EXPECT_EQ(HitAt(w, title.x, 100), HTCLIENT);
  DialogWindow dlg(kBandSkin);
  ASSERT_TRUE(dlg.Create(w, "dialog", WS_POPUP, 0, 40, 40, 300, 200));
  EXPECT_EQ(HitAt(dlg, tab.x, tab.y), HTCAPTION);
  EXPECT_EQ(HitAt(dlg, close.x, close.y), HTCLIENT);
  EXPECT_TRUE(dlg.pm.IsBackgroundTransparent());
  EXPECT_FALSE(w.pm.IsBackgroundTransparent());

  // The rounded region follows every size, and a minimised window keeps the default activation.
  ASSERT_FALSE(w.ShapeBands().empty());
  EXPECT_EQ(w.ShapeBands().back().bottom, 200);
  MoveWindow(w, 10, 10, 320, 240);
  EXPECT_EQ(w.ShapeBands().back().bottom, 240);
  EXPECT_GT(w.ShapeBands().front().left, 0);
  ShowWindow(w, SW_MINIMIZE);
  EXPECT_EQ(SendMessage(w, WM_NCACTIVATE, TRUE, 0), TRUE);

  // A window's own handling comes first and may take a message over.
  w.onMessage = [](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = msg == WM_NCCALCSIZE;
    return 7;
  };
  EXPECT_EQ(SendMessage(w, WM_NCCALCSIZE, TRUE, 0), 7);
  w.onMessage = nullptr;
  DestroyWindow(w);
  EXPECT_FALSE(IsWindow(dlg));  // owned windows go with their owner
  EXPECT_TRUE(w.built);         // a window the caller holds outlives its window
}

TEST_F(SkinBase, AnOpenedWindowDeletesItselfAndOneThatCannotBeBuiltLeavesNothing) {
  SkinWindow owner(kBandSkin);
  ASSERT_TRUE(owner.Create(nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 0, 0, 300, 200));
  bool gone = false;
  auto* menu = toolkit::OpenWindow<AskDlg>(owner, "UserMenuDlg", WS_POPUP, WS_EX_TOOLWINDOW, RECT{10, 10, 108, 67},
                                           kAskSkin, "menu", &gone);
  ASSERT_NE(menu, nullptr);
  HWND menuWindow = menu->GetHWND();
  ASSERT_TRUE(headless::Click(menuWindow, "取消"));
  Pump();  // the close was posted
  EXPECT_FALSE(IsWindow(menuWindow));
  EXPECT_TRUE(gone);

  // One left open goes with its owner.
  gone = false;
  ASSERT_TRUE(toolkit::OpenWindow<AskDlg>(owner, "UserMenuDlg", WS_POPUP, 0, RECT{}, kAskSkin, "menu", &gone));
  DestroyWindow(owner);
  EXPECT_TRUE(gone);

  size_t windows = toolkit::AllWindows().size();
  gone = false;
  EXPECT_EQ(
      toolkit::OpenWindow<AskDlg>(nullptr, "broken", WS_POPUP, 0, RECT{}, "<Window><Nothing/></Window>", "x", &gone),
      nullptr);
  EXPECT_TRUE(gone);
  EXPECT_EQ(toolkit::AllWindows().size(), windows);
}

TEST_F(SkinBase, AModalDialogsResultOutlivesItWhileTheOwnersTimersRun) {
  SkinWindow owner(kBandSkin);
  ASSERT_TRUE(owner.Create(nullptr, "owner", WS_POPUP | WS_VISIBLE, 0, 100, 100, 600, 400));
  int ticks = 0;
  owner.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    ticks += msg == WM_TIMER;
    return 0;
  };
  SetTimer(owner, 1, 100);
  HWND dialog = nullptr;
  bool ownerDisabled = false;
  // Inside the modal loop: let the owner's timer tick three times, then confirm.
  Headless().SetIdleHandler([&] {
    dialog = Newest();
    ownerDisabled = !IsWindowEnabled(owner);
    if (ticks < 3) return false;  // the loop lets virtual time run to the next tick
    return headless::Click(dialog, "确认");
  });
  bool gone = false;
  AskDlg::Result result = toolkit::RunModal<AskDlg>(owner, "QuitQuestion", kAskSkin, "退出程序", &gone);
  Headless().SetIdleHandler(nullptr);
  EXPECT_TRUE(result.confirmed);
  EXPECT_TRUE(result.shown);
  EXPECT_EQ(result.mode, "退出程序");
  EXPECT_TRUE(gone);  // deleted by its final message, the result copied out before
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_GE(ticks, 3);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner));

  // Escape closes without confirming; the result is what the dialog held then.
  Headless().SetIdleHandler([&] {
    headless::PressKey(Newest(), VK_ESCAPE);
    return true;
  });
  gone = false;
  result = toolkit::RunModal<AskDlg>(owner, "QuitQuestion", kAskSkin, "清除账号", &gone);
  EXPECT_FALSE(result.confirmed);
  EXPECT_TRUE(result.shown);
  EXPECT_TRUE(gone);

  // A quit ends the loop early: the dialog still goes, and its result comes back.
  Headless().SetIdleHandler([&] {
    dialog = Newest();
    PostQuitMessage(0);
    return true;
  });
  gone = false;
  result = toolkit::RunModal<AskDlg>(owner, "QuitQuestion", kAskSkin, "退出登录", &gone);
  Headless().SetIdleHandler(nullptr);
  toolkit::Dispatcher::Instance().ClearQuit();
  EXPECT_TRUE(gone);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(result.shown);
  EXPECT_FALSE(result.confirmed);
  EXPECT_TRUE(IsWindowEnabled(owner));

  // A dialog that cannot be built answers with a default result.
  gone = false;
  result = toolkit::RunModal<AskDlg>(owner, "QuitQuestion", "missing.xml", "退出程序", &gone);
  EXPECT_TRUE(gone);
  EXPECT_FALSE(result.shown);
  EXPECT_TRUE(IsWindowEnabled(owner));
  KillTimer(owner, 1);
  owner.onMessage = nullptr;
  DestroyWindow(owner);
}

TEST_F(SkinBase, AFixedSizeWindowWatchesThePointerOnEveryMove) {
  SkinWindow w(kBandSkin);
  ASSERT_TRUE(w.Create(nullptr, "hover", WS_POPUP | WS_VISIBLE, 0, 50, 50, 300, 200));
  ASSERT_FALSE(static_cast<toolkit::HeadlessWindow*>(w.Native())->Resizable());
  // The main window's reminder hover: over "用户提醒" and not in the caption band.
  int hovers = 0, moves = 0;
  w.onMessage = [&](UINT msg, WPARAM, LPARAM lParam, bool& handled) -> LRESULT {
    moves += msg == WM_MOUSEMOVE;
    if (msg != WM_NCHITTEST) return 0;
    handled = true;
    LRESULT hit = w.CaptionHitTest(lParam);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(w, &pt);
    if (hit != HTCAPTION && w.pm.FindControl("用户提醒")->GetPos().Contains(pt.x, pt.y)) ++hovers;
    return hit;
  };
  ASSERT_TRUE(headless::Hover(w, "用户提醒"));
  EXPECT_EQ(hovers, 1);
  EXPECT_EQ(moves, 1);
  EXPECT_EQ(w.pm.GetHot(), w.pm.FindControl("用户提醒"));
  POINT cursor;
  GetCursorPos(&cursor);
  POINT centre = Centre(w, "用户提醒");
  EXPECT_EQ(cursor.x, 50 + centre.x);  // the pointer is where the user put it
  ASSERT_TRUE(headless::Hover(w, "title"));
  ASSERT_TRUE(headless::MoveMouse(w, 250, 150));
  EXPECT_EQ(hovers, 1);
  EXPECT_EQ(moves, 3);
  EXPECT_FALSE(headless::Hover(w, "nosuch"));
  w.onMessage = nullptr;
  DestroyWindow(w);
}
