#include <thread>

#include "toolkit/core/timer_table.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/recording_window.h"

using namespace toolkit_testing;
using toolkit::Dispatcher;
using toolkit::TimerTable;

namespace {
HWND H(uintptr_t v) { return reinterpret_cast<HWND>(v); }
}  // namespace

TEST(TimerTable, CoalescesMissedPeriodsAndKeepsOrder) {
  TimerTable t;
  t.Set(H(1), 1, 2000, 0);
  t.Set(H(1), 2, 2000, 0);
  EXPECT_EQ(t.NextDue(), 2000);
  EXPECT_FALSE(t.TakeDue(1999));
  auto first = t.TakeDue(9000);  // four periods late: fires once
  ASSERT_TRUE(first);
  EXPECT_EQ(first->id, 1u);
  auto second = t.TakeDue(9000);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->id, 2u);
  EXPECT_FALSE(t.TakeDue(9000));
  EXPECT_EQ(t.NextDue(), 11000);
}

TEST(TimerTable, RestartKillAndMinimumPeriod) {
  TimerTable t;
  t.Set(H(1), 7, 0, 100);
  EXPECT_EQ(t.NextDue(), 100 + TimerTable::kMinimumPeriodMs);
  t.Set(H(1), 7, 500, 200);  // same id restarts instead of adding
  EXPECT_EQ(t.NextDue(), 700);
  EXPECT_TRUE(t.Kill(H(1), 7));
  EXPECT_FALSE(t.Kill(H(1), 7));
  t.Set(H(2), 1, 50, 0);
  t.Set(H(3), 1, 50, 0);
  t.KillAll(H(2));
  auto due = t.TakeDue(50);
  ASSERT_TRUE(due);
  EXPECT_EQ(due->hwnd, H(3));
}

class MessageLoop : public HeadlessTest {};

TEST_F(MessageLoop, WindowTimersFireOnVirtualTime) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "timers", WS_POPUP, 0, 0, 0, 100, 100));
  EXPECT_EQ(SetTimer(w, 1, 2000), 1u);
  SetTimer(w, 2, 5000);
  for (int i = 0; i < 10; ++i) Advance(1000);
  int ones = 0, twos = 0;
  for (const auto& r : w.log) {
    if (r.msg == WM_TIMER) (r.wParam == 1 ? ones : twos)++;
  }
  EXPECT_EQ(ones, 5);
  EXPECT_EQ(twos, 2);
  EXPECT_TRUE(KillTimer(w, 1));
  w.log.clear();
  Advance(4000);
  EXPECT_EQ(w.Count(WM_TIMER), 0);
  Advance(1000);
  EXPECT_EQ(w.Count(WM_TIMER), 1);
  DestroyWindow(w);
  EXPECT_FALSE(KillTimer(w, 2));  // the window's timers went with it
}

TEST_F(MessageLoop, MessagesPostedFromAnotherThreadArriveInOrder) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "posts", WS_POPUP, 0, 0, 0, 10, 10));
  constexpr int kCount = 2000;
  std::thread worker([&] {
    for (int i = 0; i < kCount; ++i) EXPECT_TRUE(w.PostMessage(WM_APP + 11, static_cast<WPARAM>(i), -i));
  });
  Dispatcher::Instance().RunUntil([&] { return w.Count(WM_APP + 11) == kCount; });
  worker.join();
  int expected = 0;
  for (const auto& r : w.log) {
    if (r.msg != WM_APP + 11) continue;
    EXPECT_EQ(r.wParam, static_cast<WPARAM>(expected));
    EXPECT_EQ(r.lParam, -expected);
    ++expected;
  }
  EXPECT_EQ(expected, kCount);
  DestroyWindow(w);
  EXPECT_FALSE(w.PostMessage(WM_APP, 0, 0));
  EXPECT_FALSE(PostMessage(nullptr, WM_APP, 0, 0));
}

TEST_F(MessageLoop, PumpHandlesWhatIsWaitingButNotWhatHandlersPostAgain) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "pump", WS_POPUP, 0, 0, 0, 10, 10));
  w.onMessage = [&](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
    if (msg == WM_APP) {
      w.PostMessage(WM_APP, 0, 0);  // a handler that keeps reposting
      handled = true;
    }
    return 0;
  };
  w.PostMessage(WM_APP, 0, 0);
  Pump();
  EXPECT_EQ(w.Count(WM_APP), 1);
  Pump();
  EXPECT_EQ(w.Count(WM_APP), 2);
  w.onMessage = nullptr;
  DestroyWindow(w);
}

TEST_F(MessageLoop, QuitEndsTheLoopWithItsCode) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "quit", WS_POPUP, 0, 0, 0, 10, 10));
  SetTimer(w, 3, 100);
  w.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg == WM_TIMER && w.Count(WM_TIMER) == 3) PostQuitMessage(5);
    return 0;
  };
  Dispatcher::Instance().RunUntil([] { return false; });
  EXPECT_TRUE(Dispatcher::Instance().QuitPending());
  EXPECT_EQ(Dispatcher::Instance().QuitCode(), 5);
  EXPECT_EQ(w.Count(WM_TIMER), 3);
  w.onMessage = nullptr;
  DestroyWindow(w);
}

TEST_F(MessageLoop, ModalLoopsNestAndDisableTheirOwners) {
  RecordingWnd main, outer, inner;
  ASSERT_TRUE(main.Create(nullptr, "main", WS_POPUP | WS_VISIBLE, 0, 0, 0, 400, 300));
  ASSERT_TRUE(outer.Create(main, "outer", WS_POPUP, 0, 0, 0, 200, 100));
  std::vector<std::string> steps;
  UINT innerResult = 99;
  int idleCalls = 0;
  Headless().SetIdleHandler([&]() -> bool {
    ++idleCalls;
    if (IsWindow(inner)) {
      EXPECT_FALSE(IsWindowEnabled(main));
      EXPECT_FALSE(IsWindowEnabled(outer));
      steps.push_back("close inner");
      inner.Close(7);
      return true;
    }
    if (IsWindow(outer) && innerResult == 99) {
      EXPECT_FALSE(IsWindowEnabled(main));
      EXPECT_TRUE(inner.Create(outer, "inner", WS_POPUP, 0, 0, 0, 50, 50));
      steps.push_back("inner modal");
      innerResult = inner.ShowModal();
      steps.push_back("inner returned");
      EXPECT_TRUE(IsWindowEnabled(outer));
      return true;
    }
    if (IsWindow(outer)) {
      outer.Close(3);
      return true;
    }
    return false;
  });
  UINT outerResult = outer.ShowModal();
  Headless().SetIdleHandler(nullptr);
  EXPECT_EQ(innerResult, 7u);
  EXPECT_EQ(outerResult, 3u);
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(inner.finalMessages, 1);
  EXPECT_EQ(outer.finalMessages, 1);
  EXPECT_EQ(steps, (std::vector<std::string>{"inner modal", "close inner", "inner returned"}));
  DestroyWindow(main);
}

TEST_F(MessageLoop, QuitDuringAModalLoopLeavesTheOwnerEnabled) {
  RecordingWnd main, dlg;
  ASSERT_TRUE(main.Create(nullptr, "main", WS_POPUP | WS_VISIBLE, 0, 0, 0, 400, 300));
  ASSERT_TRUE(dlg.Create(main, "dlg", WS_POPUP, 0, 0, 0, 50, 50));
  Headless().SetIdleHandler([&] {
    PostQuitMessage(0);
    return true;
  });
  EXPECT_EQ(dlg.ShowModal(), 0u);
  EXPECT_TRUE(IsWindow(dlg));
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_TRUE(Dispatcher::Instance().QuitPending());
  DestroyWindow(main);  // takes the owned dialog with it
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_EQ(dlg.finalMessages, 1);
}

TEST_F(MessageLoop, FadeOutTakesItsTimeThenHides) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "alert", WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 50));
  SetWindowAlpha(w, 250);
  auto* native = static_cast<toolkit::HeadlessWindow*>(w.Native());
  EXPECT_NEAR(native->Opacity(), 250 / 255.0, 1e-9);
  int64_t start = Headless().NowMs();
  std::vector<double> seen;
  SetTimer(w, 9, 100);
  w.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg == WM_TIMER) seen.push_back(native->Opacity());
    return 0;
  };
  ASSERT_TRUE(AnimateWindow(w, 1000, AW_HIDE | AW_BLEND));
  EXPECT_GE(Headless().NowMs() - start, 1000);
  EXPECT_FALSE(IsWindowVisible(w));
  ASSERT_GE(seen.size(), 5u);  // the window's own timers ran during the fade
  for (size_t i = 1; i < seen.size(); ++i) EXPECT_LE(seen[i], seen[i - 1]);
  EXPECT_LT(seen.back(), 0.3);
  ShowWindow(w, SW_SHOWNORMAL);  // shown again at its own alpha
  EXPECT_NEAR(native->Opacity(), 250 / 255.0, 1e-9);
  w.onMessage = nullptr;
  DestroyWindow(w);
}
