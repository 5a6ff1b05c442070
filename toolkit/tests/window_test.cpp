#include "toolkit/testing/headless_fixture.h"
#include "toolkit/testing/recording_window.h"

using namespace toolkit_testing;

class Window : public HeadlessTest {};

TEST_F(Window, CreateSendsCreateThenSizeAndRefusalDestroys) {
  RecordingWnd ok;
  ASSERT_TRUE(ok.Create(nullptr, "Vymera同步软件", UI_WNDSTYLE_FRAME, 0, 0, 0, 850, 600));
  ASSERT_GE(ok.log.size(), 2u);
  EXPECT_EQ(ok.log[0].msg, WM_CREATE);
  EXPECT_EQ(ok.log[1].msg, WM_SIZE);
  EXPECT_EQ(LOWORD(static_cast<WPARAM>(ok.log[1].lParam)), 850);
  EXPECT_EQ(HIWORD(static_cast<WPARAM>(ok.log[1].lParam)), 600);
  EXPECT_TRUE(IsWindowVisible(ok));
  EXPECT_EQ(FindWindow(nullptr, "Vymera同步软件"), ok.GetHWND());

  RecordingWnd refused;
  refused.onMessage = [](UINT msg, WPARAM, LPARAM, bool& handled) -> LRESULT {
    handled = msg == WM_CREATE;
    return handled ? -1 : 0;
  };
  EXPECT_EQ(refused.Create(nullptr, "x", WS_POPUP, 0), nullptr);
  EXPECT_EQ(refused.finalMessages, 1);
  EXPECT_EQ(refused.Count(WM_DESTROY), 1);

  DestroyWindow(ok);
  EXPECT_EQ(FindWindow(nullptr, "Vymera同步软件"), nullptr);
  EXPECT_LT(ok.Count(WM_CREATE), ok.Count(WM_DESTROY) + 1);
  EXPECT_EQ(ok.log.back().msg, WM_NCDESTROY);
}

TEST_F(Window, CloseGoesThroughWmCloseAndDefaultHandlingDestroys) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "c", WS_POPUP, 0, 0, 0, 10, 10));
  w.Close();
  EXPECT_TRUE(IsWindow(w));  // posted, not yet handled
  Pump();
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(w.Count(WM_CLOSE), 1);
  EXPECT_EQ(w.finalMessages, 1);
}

TEST_F(Window, ShowCommandsAndPlacement) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "s", WS_POPUP, 0, 10, 10, 100, 100));
  WINDOWPLACEMENT p;
  ASSERT_TRUE(GetWindowPlacement(w, &p));
  EXPECT_EQ(p.showCmd, static_cast<UINT>(SW_HIDE));
  ShowWindow(w, SW_SHOWNORMAL);
  GetWindowPlacement(w, &p);
  EXPECT_EQ(p.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
  w.log.clear();
  ShowWindow(w, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(w));
  GetWindowPlacement(w, &p);
  EXPECT_EQ(p.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
  ASSERT_EQ(w.Count(WM_SIZE), 1);
  EXPECT_EQ(w.log.back().wParam, SIZE_MINIMIZED);
  ShowWindow(w, SW_RESTORE);
  EXPECT_FALSE(IsIconic(w));
  EXPECT_EQ(w.log.back().wParam, SIZE_RESTORED);
  DestroyWindow(w);
}

TEST_F(Window, CentresOnTheOwnerAndStaysOnTheScreen) {
  RecordingWnd owner, dlg, edge;
  ASSERT_TRUE(owner.Create(nullptr, "o", WS_POPUP | WS_VISIBLE, 0, 100, 100, 850, 600));
  ASSERT_TRUE(dlg.Create(owner, "d", WS_POPUP, 0, 0, 0, 456, 300));
  dlg.CenterWindow();
  RECT r;
  GetWindowRect(dlg, &r);
  EXPECT_EQ(r.left, 100 + (850 - 456) / 2);
  EXPECT_EQ(r.top, 100 + (600 - 300) / 2);
  MoveWindow(owner, 1200, 900, 850, 600);
  ASSERT_TRUE(edge.Create(owner, "e", WS_POPUP, 0, 0, 0, 456, 300));
  edge.CenterWindow();
  GetWindowRect(edge, &r);
  EXPECT_EQ(r.right, 1280);
  EXPECT_EQ(r.bottom, 1024);
  DestroyWindow(owner);
  EXPECT_FALSE(IsWindow(dlg));
  EXPECT_FALSE(IsWindow(edge));
}

TEST_F(Window, PressInTheCaptionStartsAMoveInsteadOfAClick) {
  RecordingWnd w;
  ASSERT_TRUE(w.Create(nullptr, "drag", WS_POPUP | WS_VISIBLE, 0, 50, 60, 300, 200));
  w.onMessage = [](UINT msg, WPARAM, LPARAM lp, bool& handled) -> LRESULT {
    if (msg != WM_NCHITTEST) return 0;
    handled = true;
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    return pt.y - 60 < 33 ? HTCAPTION : HTCLIENT;  // screen coordinates arrive
  };
  w.OnNativeMouse(WM_LBUTTONDOWN, 10, 10);
  auto* native = static_cast<toolkit::HeadlessWindow*>(w.Native());
  EXPECT_EQ(native->MoveDrags(), 1);
  EXPECT_EQ(w.Count(WM_LBUTTONDOWN), 0);
  w.OnNativeMouse(WM_LBUTTONDOWN, 10, 100);
  EXPECT_EQ(native->MoveDrags(), 1);
  EXPECT_EQ(w.Count(WM_LBUTTONDOWN), 1);
  EnableWindow(w, false);
  w.OnNativeMouse(WM_LBUTTONDOWN, 10, 100);
  w.OnNativeKey(VK_RETURN);
  EXPECT_EQ(w.Count(WM_LBUTTONDOWN), 1);  // a disabled window gets no input
  EXPECT_EQ(w.Count(WM_KEYDOWN), 0);
  w.onMessage = nullptr;
  DestroyWindow(w);
}

TEST(RoundRegion, CornersAreCutAndTheRestIsWhole) {
  // The region of 0,0,w+1,h+1 covers exactly the w by h client area.
  auto bands = toolkit::RoundRectBands(RECT{0, 0, 851, 601}, 13, 12);
  ASSERT_FALSE(bands.empty());
  EXPECT_EQ(bands.front().top, 0);
  EXPECT_EQ(bands.back().bottom, 600);
  EXPECT_GT(bands.front().left, 0);
  EXPECT_EQ(bands.front().left, 850 - bands.front().right);  // symmetric
  bool fullMiddle = false;
  int covered = 0;
  for (const CRect& b : bands) {
    if (b.top <= 300 && b.bottom > 300) fullMiddle = b.left == 0 && b.right == 850;
    covered += b.GetHeight();
  }
  EXPECT_TRUE(fullMiddle);
  EXPECT_EQ(covered, 600);  // no row missing, none twice
  auto square = toolkit::RoundRectBands(RECT{0, 0, 11, 11}, 0, 0);
  ASSERT_EQ(square.size(), 1u);
  EXPECT_EQ(square[0], CRect(0, 0, 10, 10));
  EXPECT_TRUE(toolkit::RoundRectBands(RECT{0, 0, 1, 1}, 9, 9).empty());
}
