// The message model as windows lean on it: timers changed from inside their own ticks, messages
// to windows that went away, the order of posts across windows, pre-message filters that change
// while they run, modal loops and the loop's exit code, and what losing the focus sends.

#include "toolkit/controls/container.h"
#include "toolkit/paint_manager.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/recording_window.h"

using namespace toolkit_testing;
using toolkit::Dispatcher;

namespace {

class MessageModel : public HeadlessTest {
 protected:
  static int Timers(const RecordingWnd& w, WPARAM id) {
    int n = 0;
    for (const auto& r : w.log) n += r.msg == WM_TIMER && r.wParam == id;
    return n;
  }
};

// Records which filter saw what, and can change the window's filters while it runs.
class Filter : public IMessageFilterUI {
 public:
  Filter(std::string name, std::vector<std::string>& trail) : name_(std::move(name)), trail_(trail) {}
  std::function<void()> onKey;
  bool swallow = false;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool& handled) override {
    if (msg != WM_KEYDOWN) return 0;
    trail_.push_back(name_ + ":" + std::to_string(wParam));
    if (onKey) onKey();
    handled = swallow;
    return 0;
  }

 private:
  std::string name_;
  std::vector<std::string>& trail_;
};

// A window with a manager (and so pre-message filters) but no skin.
class FilteredWnd : public RecordingWnd {
 public:
  explicit FilteredWnd(std::vector<std::string>& trail) : trail_(trail) {}
  CPaintManagerUI pm;
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == WM_CREATE) {
      pm.Init(GetHWND());
      pm.AttachDialog(new CVerticalLayoutUI());
    }
    if (msg == WM_KEYDOWN) trail_.push_back("window:" + std::to_string(wParam));
    return RecordingWnd::HandleMessage(msg, wParam, lParam);
  }

 private:
  std::vector<std::string>& trail_;
};

}  // namespace

TEST_F(MessageModel, TimersKilledOrRestartedFromInsideATick) {
  RecordingWnd a, b;
  ASSERT_TRUE(a.Create(nullptr, "a", WS_POPUP, 0, 0, 0, 10, 10));
  ASSERT_TRUE(b.Create(nullptr, "b", WS_POPUP, 0, 0, 0, 10, 10));
  SetTimer(a, 1, 100);
  SetTimer(b, 1, 100);  // due at the same moment as a's
  SetTimer(a, 2, 100);
  a.onMessage = [&](UINT msg, WPARAM id, LPARAM, bool&) -> LRESULT {
    if (msg != WM_TIMER) return 0;
    if (id == 1) {
      KillTimer(b, 1);  // b's tick, due in the same pass, must not come
      if (Timers(a, 1) == 2) KillTimer(a, 1);
    }
    if (id == 2) SetTimer(a, 2, 300);  // a longer period from now on
    return 0;
  };
  Advance(100);
  EXPECT_EQ(Timers(a, 1), 1);
  EXPECT_EQ(Timers(b, 1), 0);
  EXPECT_EQ(Timers(a, 2), 1);
  for (int i = 0; i < 10; ++i) Advance(100);
  EXPECT_EQ(Timers(a, 1), 2);  // killed by its own second tick
  EXPECT_EQ(Timers(a, 2), 1 + 3);  // at 400, 700 and 1000
  a.onMessage = nullptr;
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST_F(MessageModel, SettingATimerAgainStartsItsPeriodAfresh) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "t", WS_POPUP, 0, 0, 0, 10, 10));
  SetTimer(w, 5, 1000);
  Advance(800);
  SetTimer(w, 5, 1000);
  Advance(300);  // 1100 after the first start: the restart put it off
  EXPECT_EQ(Timers(w, 5), 0);
  Advance(700);
  EXPECT_EQ(Timers(w, 5), 1);
  DestroyWindow(w);
}

TEST_F(MessageModel, ADestroyedWindowsTimersAndMessagesGoWithIt) {
  RecordingWnd gone, stays;
  ASSERT_TRUE(gone.Create(nullptr, "gone", WS_POPUP, 0, 0, 0, 10, 10));
  ASSERT_TRUE(stays.Create(nullptr, "stays", WS_POPUP, 0, 0, 0, 10, 10));
  SetTimer(gone, 1, 100);
  SetTimer(stays, 1, 100);
  HWND old = gone;
  // A message posted while it is being destroyed, and one posted just before.
  gone.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg == WM_DESTROY) PostMessage(old, WM_APP + 2, 0, 0);
    return 0;
  };
  EXPECT_TRUE(PostMessage(old, WM_APP + 1, 0, 0));
  DestroyWindow(gone);
  size_t logged = gone.log.size();
  RecordingWnd fresh;  // handles are not handed out again, so nothing meant for the old one lands here
  ASSERT_TRUE(fresh.Create(nullptr, "fresh", WS_POPUP, 0, 0, 0, 10, 10));
  EXPECT_NE(fresh.GetHWND(), old);
  Advance(100);
  Advance(100);
  EXPECT_EQ(gone.log.size(), logged);
  EXPECT_EQ(fresh.Count(WM_APP + 1) + fresh.Count(WM_APP + 2), 0);
  EXPECT_EQ(Timers(stays, 1), 2);
  EXPECT_EQ(SetTimer(old, 1, 100), 0u);
  EXPECT_EQ(SendMessage(old, WM_APP, 0, 0), 0);
  EXPECT_FALSE(DestroyWindow(old));
  DestroyWindow(stays);
  DestroyWindow(fresh);
}

TEST_F(MessageModel, PostsToSeveralWindowsArriveInTheOrderPosted) {
  RecordingWnd a, b, c;
  std::vector<std::string> order;
  for (RecordingWnd* w : {&a, &b, &c}) {
    ASSERT_TRUE(w->Create(nullptr, "w", WS_POPUP, 0, 0, 0, 10, 10));
    w->onMessage = [&order, w, &a, &b](UINT msg, WPARAM wp, LPARAM, bool&) -> LRESULT {
      if (msg == WM_APP) order.push_back(std::string(1, w == &a ? 'a' : (w == &b ? 'b' : 'c')) + std::to_string(wp));
      return 0;
    };
  }
  PostMessage(a, WM_APP, 1);
  PostMessage(c, WM_APP, 2);
  PostMessage(b, WM_APP, 3);
  PostMessage(a, WM_APP, 4);
  PostMessage(c, WM_APP, 5);
  SetTimer(b, 9, 10);
  Advance(10);  // a due timer waits behind every posted message
  EXPECT_EQ(order, (std::vector<std::string>{"a1", "c2", "b3", "a4", "c5"}));
  ASSERT_FALSE(b.log.empty());
  EXPECT_EQ(b.log.back().msg, static_cast<UINT>(WM_TIMER));
  for (RecordingWnd* w : {&a, &b, &c}) {
    w->onMessage = nullptr;
    DestroyWindow(*w);
  }
}

TEST_F(MessageModel, FiltersSeeKeysFirstAndMayChangeWhileTheyRun) {
  std::vector<std::string> trail;
  FilteredWnd w(trail);
  ASSERT_TRUE(w.Create(nullptr, "keys", WS_POPUP | WS_VISIBLE, 0, 0, 0, 50, 50));
  Filter first("first", trail), second("second", trail), late("late", trail);
  ASSERT_TRUE(w.pm.AddPreMessageFilter(&first));
  ASSERT_TRUE(w.pm.AddPreMessageFilter(&second));
  EXPECT_FALSE(w.pm.AddPreMessageFilter(&first));  // once is enough
  w.OnNativeKey(VK_RETURN);
  EXPECT_EQ(trail, (std::vector<std::string>{"first:13", "second:13", "window:13"}));

  // The first filter takes the second away and adds another: the removed one is not called for
  // this key, the added one only from the next.
  trail.clear();
  bool changed = false;
  first.onKey = [&] {
    if (changed) return;
    changed = true;
    w.pm.RemovePreMessageFilter(&second);
    w.pm.AddPreMessageFilter(&late);
  };
  w.OnNativeKey(VK_ESCAPE);
  EXPECT_EQ(trail, (std::vector<std::string>{"first:27", "window:27"}));
  trail.clear();
  w.OnNativeKey(VK_ESCAPE);
  EXPECT_EQ(trail, (std::vector<std::string>{"first:27", "late:27", "window:27"}));

  // A filter that removes itself and swallows the key.
  trail.clear();
  first.swallow = true;
  first.onKey = [&] { w.pm.RemovePreMessageFilter(&first); };
  w.OnNativeKey(VK_RETURN);
  EXPECT_EQ(trail, (std::vector<std::string>{"first:13"}));
  trail.clear();
  w.OnNativeKey(VK_RETURN);
  EXPECT_EQ(trail, (std::vector<std::string>{"late:13", "window:13"}));
  EXPECT_FALSE(w.pm.RemovePreMessageFilter(&first));
  DestroyWindow(w);
}

TEST_F(MessageModel, ModalLoopsThreeDeepReturnTheirOwnCodes) {
  RecordingWnd main, d1, d2, d3;
  ASSERT_TRUE(main.Create(nullptr, "main", WS_POPUP | WS_VISIBLE, 0, 0, 0, 400, 300));
  ASSERT_TRUE(d1.Create(main, "d1", WS_POPUP, 0, 0, 0, 100, 100));
  std::vector<UINT> results;
  bool opened2 = false, opened3 = false;
  Headless().SetIdleHandler([&]() -> bool {
    if (!opened2) {
      opened2 = true;
      EXPECT_TRUE(d2.Create(d1, "d2", WS_POPUP, 0, 0, 0, 80, 80));
      results.push_back(d2.ShowModal());
      EXPECT_TRUE(IsWindowEnabled(d1));
      EXPECT_FALSE(IsWindowEnabled(main));
      d1.Close(IDOK);
      return true;
    }
    if (!opened3) {
      opened3 = true;
      EXPECT_TRUE(d3.Create(d2, "d3", WS_POPUP, 0, 0, 0, 60, 60));
      d3.Close(IDNO);  // closing before the loop runs still gives the loop its code
      results.push_back(d3.ShowModal());
      EXPECT_TRUE(IsWindowEnabled(d2));
      EXPECT_EQ(Dispatcher::Instance().Depth(), 2);
      d2.Close(42);
      return true;
    }
    return false;
  });
  results.push_back(d1.ShowModal());
  Headless().SetIdleHandler(nullptr);
  EXPECT_EQ(results, (std::vector<UINT>{static_cast<UINT>(IDNO), 42u, static_cast<UINT>(IDOK)}));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(Dispatcher::Instance().Depth(), 0);
  DestroyWindow(main);
}

TEST_F(MessageModel, ModalWindowDestroyedWithItsOwnerReturnsNothing) {
  RecordingWnd main, dlg;
  ASSERT_TRUE(main.Create(nullptr, "main", WS_POPUP | WS_VISIBLE, 0, 0, 0, 400, 300));
  ASSERT_TRUE(dlg.Create(main, "dlg", WS_POPUP, 0, 0, 0, 50, 50));
  Headless().SetIdleHandler([&]() -> bool {
    if (!IsWindow(main)) return false;
    DestroyWindow(main);
    return true;
  });
  EXPECT_EQ(dlg.ShowModal(), 0u);
  Headless().SetIdleHandler(nullptr);
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_EQ(dlg.finalMessages, 1);
  EXPECT_EQ(main.finalMessages, 1);
  EXPECT_EQ(dlg.ShowModal(), 0u);  // a window that is gone does not loop
}

TEST_F(MessageModel, MessageLoopReturnsTheQuitCodeAndCanRunAgain) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "loop", WS_POPUP, 0, 0, 0, 10, 10));
  SetTimer(w, 1, 500);
  int quitAt = 2;
  w.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg == WM_TIMER && w.Count(WM_TIMER) == quitAt) PostQuitMessage(quitAt * 10);
    return 0;
  };
  EXPECT_EQ(CPaintManagerUI::MessageLoop(), 20);
  EXPECT_FALSE(Dispatcher::Instance().QuitPending());
  quitAt = 5;
  EXPECT_EQ(CPaintManagerUI::MessageLoop(), 50);
  EXPECT_EQ(w.Count(WM_TIMER), 5);
  w.onMessage = nullptr;
  DestroyWindow(w);
}

TEST_F(MessageModel, LosingTheFocusDeactivatesThenKillsTheFocus) {
  RecordingWnd menu;
  ASSERT_TRUE(menu.Create(nullptr, "menu", WS_POPUP | WS_VISIBLE, 0, 0, 0, 112, 106));
  // A drop-down closes itself when the user clicks elsewhere.
  menu.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg == WM_KILLFOCUS) menu.Close();
    return 0;
  };
  menu.log.clear();
  toolkit::headless::LoseFocus(menu);
  ASSERT_EQ(menu.log.size(), 3u);
  EXPECT_EQ(menu.log[0].msg, static_cast<UINT>(WM_NCACTIVATE));
  EXPECT_EQ(menu.log[0].wParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(menu.log[1].msg, static_cast<UINT>(WM_ACTIVATE));
  EXPECT_EQ(menu.log[1].wParam, 0u);
  EXPECT_EQ(menu.log[2].msg, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_TRUE(IsWindow(menu));
  Pump();
  EXPECT_FALSE(IsWindow(menu));
  EXPECT_EQ(menu.finalMessages, 1);
}
