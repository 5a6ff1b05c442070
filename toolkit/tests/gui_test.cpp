// Real windows under a display (a virtual X server in CI).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <thread>

#include "testing/temp_folder.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/desktop/desktop.h"
#include "toolkit/examples/skinview/skin_view_window.h"
#include "toolkit/backend/gtk/gtk_window.h"
#include "toolkit/testing/skin_test_window.h"
#include "toolkit/tests/gui_pump.h"

using toolkit_testing::PumpUntil;

TEST(RealWindow, SampleSkinOpensAndIsNotBlank) {
  toolkit::Backend& backend = toolkit::Dispatcher::Instance().GetBackend();
  ASSERT_FALSE(backend.IsHeadless()) << "no display";
  std::string sample = VYMERA_SKINVIEW_SAMPLE;
  CPaintManagerUI::SetResourcePath(CStdString(sample.substr(0, sample.rfind('/'))));
  CSkinViewWnd window("sample.xml");
  ASSERT_TRUE(window.Create(nullptr, "skinview test", UI_WNDSTYLE_FRAME, 0, 50, 50, 456, 300));
  window.ShowWindow(true, true);
  auto* native = dynamic_cast<toolkit::GtkNativeWindow*>(window.Native());
  ASSERT_NE(native, nullptr);

  GdkPixbuf* shot = nullptr;
  std::set<uint32_t> colours;
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < until) {
    CPaintManagerUI::PumpMessages();
    GdkWindow* gdk = gtk_widget_get_window(native->Widget());
    if (gdk && gdk_window_is_viewable(gdk)) {
      shot = gdk_pixbuf_get_from_window(gdk, 0, 0, 456, 300);
      if (shot) {
        colours.clear();
        const guchar* px = gdk_pixbuf_read_pixels(shot);
        int stride = gdk_pixbuf_get_rowstride(shot), n = gdk_pixbuf_get_n_channels(shot);
        for (int y = 0; y < gdk_pixbuf_get_height(shot); y += 3) {
          for (int x = 0; x < gdk_pixbuf_get_width(shot); x += 3) {
            const guchar* p = px + y * stride + x * n;
            colours.insert((p[0] << 16) | (p[1] << 8) | p[2]);
          }
        }
        g_object_unref(shot);
        if (colours.size() > 20) break;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_GT(colours.size(), 20u) << "the window showed (almost) one colour";
  RECT rc;
  GetClientRect(window, &rc);
  EXPECT_EQ(rc.right, 456);
  EXPECT_FALSE(window.ShapeBands().empty());  // clipped to its rounded corners
  DestroyWindow(window);
  toolkit::Dispatcher::Instance().ClearQuit();  // the final message asked the loop to end
}

namespace {

// The colour the screen shows at a client point, or nothing before the window is mapped.
std::optional<uint32_t> PixelAt(toolkit::GtkNativeWindow& native, int x, int y) {
  GdkWindow* gdk = gtk_widget_get_window(native.Widget());
  if (!gdk || !gdk_window_is_viewable(gdk)) return std::nullopt;
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk, x, y, 1, 1);
  if (!shot) return std::nullopt;
  const guchar* p = gdk_pixbuf_read_pixels(shot);
  uint32_t rgb = (p[0] << 16) | (p[1] << 8) | p[2];
  g_object_unref(shot);
  return rgb;
}

std::vector<GtkWidget*> EntriesOf(toolkit::GtkNativeWindow& native) {
  std::vector<GtkWidget*> entries;
  GtkWidget* holder = gtk_bin_get_child(GTK_BIN(native.Widget()));
  GList* children = gtk_container_get_children(GTK_CONTAINER(holder));
  for (GList* c = children; c; c = c->next) {
    if (GTK_IS_ENTRY(c->data)) entries.push_back(GTK_WIDGET(c->data));
  }
  g_list_free(children);
  return entries;
}

}  // namespace

TEST(RealWindow, EntriesStandOverTheirEditsAndAResizedWindowIsPaintedWhole) {
  testing_support::TempFolder folder;
  std::ofstream(folder.File("grow.xml")) << R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="300,200" sizebox="4,4,4,4" mininfo="200,150">
  <VerticalLayout bkcolor="#FF2080C0" inset="20,30,0,0">
    <Edit name="field" width="120" height="26" textpadding="6,4,6,4" text="abc"/>
  </VerticalLayout>
</Window>)";
  CPaintManagerUI::SetResourcePath(CStdString(folder.path()));
  CSkinViewWnd window("grow.xml");
  ASSERT_TRUE(window.Create(nullptr, "grow test", UI_WNDSTYLE_FRAME, 0, 40, 40, 300, 200));
  window.ShowWindow(true, true);
  auto* native = dynamic_cast<toolkit::GtkNativeWindow*>(window.Native());
  ASSERT_NE(native, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return PixelAt(*native, 290, 190) == 0x2080C0u; }));

  // The real entry covers the edit's text area, not the width an entry would ask for itself.
  std::vector<GtkWidget*> entries = EntriesOf(*native);
  ASSERT_EQ(entries.size(), 1u);
  auto placed = [&](int& x, int& y) {
    return gtk_widget_translate_coordinates(entries[0], native->Widget(), 0, 0, &x, &y) && x == 26 && y == 34;
  };
  int x = 0, y = 0;
  EXPECT_TRUE(PumpUntil([&] { return placed(x, y); })) << "entry at " << x << "," << y;
  GtkAllocation a;
  gtk_widget_get_allocation(entries[0], &a);
  EXPECT_EQ(a.width, 108);
  EXPECT_EQ(a.height, 18);
  EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(entries[0])), "abc");

  // A window with a size box grows, and what it grew by is painted.
  MoveWindow(window, 40, 40, 420, 300);
  EXPECT_TRUE(PumpUntil([&] { return PixelAt(*native, 410, 290) == 0x2080C0u; }));
  RECT rc;
  GetClientRect(window, &rc);
  EXPECT_EQ(rc.right, 420);
  EXPECT_EQ(rc.bottom, 300);
  DestroyWindow(window);
  toolkit::Dispatcher::Instance().ClearQuit();
}

TEST(RealWindow, AnEntryOnAHiddenTabPageHidesWithIt) {
  testing_support::TempFolder folder;
  std::ofstream(folder.File("pages.xml")) << R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="300,120"><TabLayout name="switch" bkcolor="#FFFFFFFF">
  <VerticalLayout><Edit name="field" height="26"/></VerticalLayout>
  <VerticalLayout><Button name="other" height="26"/></VerticalLayout>
</TabLayout></Window>)";
  CPaintManagerUI::SetResourcePath(CStdString(folder.path()));
  CSkinViewWnd window("pages.xml");
  ASSERT_TRUE(window.Create(nullptr, "pages test", UI_WNDSTYLE_FRAME, 0, 40, 40, 300, 120));
  window.ShowWindow(true, true);
  auto* native = dynamic_cast<toolkit::GtkNativeWindow*>(window.Native());
  ASSERT_NE(native, nullptr);
  std::vector<GtkWidget*> entries;
  ASSERT_TRUE(PumpUntil([&] {
    entries = EntriesOf(*native);
    return entries.size() == 1 && gtk_widget_get_visible(entries[0]);
  }));
  // The entry would otherwise stand over the next page and take its clicks.
  auto* tabs = dynamic_cast<CTabLayoutUI*>(window.Manager().FindControl("switch"));
  ASSERT_NE(tabs, nullptr);
  tabs->SelectItem(1);
  EXPECT_TRUE(PumpUntil([&] { return !gtk_widget_get_visible(entries[0]); }));
  tabs->SelectItem(0);
  EXPECT_TRUE(PumpUntil([&] { return gtk_widget_get_visible(entries[0]); }));
  DestroyWindow(window);
  toolkit::Dispatcher::Instance().ClearQuit();
}

TEST(RealWindow, TabMovesTheKeyboardBetweenRealEntriesAndOffThem) {
  testing_support::TempFolder folder;
  std::ofstream(folder.File("form.xml")) << R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="300,120"><VerticalLayout bkcolor="#FFFFFFFF">
  <Edit name="a" height="26"/><Edit name="b" height="26"/><Button name="go" height="26"/>
</VerticalLayout></Window>)";
  CPaintManagerUI::SetResourcePath(CStdString(folder.path()));
  CSkinViewWnd window("form.xml");
  ASSERT_TRUE(window.Create(nullptr, "form test", UI_WNDSTYLE_FRAME, 0, 60, 60, 300, 120));
  window.ShowWindow(true, true);
  auto* native = dynamic_cast<toolkit::GtkNativeWindow*>(window.Native());
  ASSERT_NE(native, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return PixelAt(*native, 150, 100).has_value(); }));
  std::vector<GtkWidget*> entries = EntriesOf(*native);
  ASSERT_EQ(entries.size(), 2u);
  GtkWindow* gtkWindow = GTK_WINDOW(native->Widget());
  auto focusName = [&] {
    CControlUI* f = window.Manager().GetFocus();
    return f ? f->GetName().str() : std::string("-");
  };
  window.OnNativeKey(VK_TAB);
  EXPECT_EQ(focusName(), "a");
  EXPECT_EQ(gtk_window_get_focus(gtkWindow), entries[0]);
  window.OnNativeKey(VK_TAB);
  EXPECT_EQ(focusName(), "b");
  EXPECT_EQ(gtk_window_get_focus(gtkWindow), entries[1]);
  window.OnNativeKey(VK_TAB);
  EXPECT_EQ(focusName(), "go");
  EXPECT_EQ(gtk_window_get_focus(gtkWindow), nullptr);  // typing now reaches no field
  DestroyWindow(window);
  toolkit::Dispatcher::Instance().ClearQuit();
}

TEST(RealWindow, TrayWithoutANotificationAreaStandsInWithAWindow) {
  CPaintManagerUI::SetResourcePath(
      CStdString(std::string(VYMERA_SKINVIEW_SAMPLE).substr(0, std::string(VYMERA_SKINVIEW_SAMPLE).rfind('/'))));
  CSkinViewWnd window("sample.xml");
  ASSERT_TRUE(window.Create(nullptr, "tray test", UI_WNDSTYLE_FRAME, 0, 50, 50, 456, 300));
  std::string icon = std::string(VYMERA_SKINVIEW_SAMPLE);
  icon = icon.substr(0, icon.rfind('/')) + "/check_on.png";
  auto tray = toolkit::TrayIcon::Create(window, WM_APP + 10, 103, icon, "Vymera同步软件");
  ASSERT_TRUE(tray);
  // The virtual X server has neither a panel nor a system tray.
  EXPECT_EQ(tray->GetMode(), toolkit::TrayIcon::Mode::StandIn);
  tray.reset();
  DestroyWindow(window);
  toolkit::Dispatcher::Instance().ClearQuit();
}

TEST(RealWindow, AFixedSizeWindowHearsThePointerMoveOverIt) {
  testing_support::TempFolder folder;
  std::ofstream(folder.File("hover.xml")) << R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="300,200" caption="0,0,0,30"><VerticalLayout bkcolor="#FFFFFFFF">
  <Label name="title" height="30"/><Label name="用户提醒" height="40" width="120"/><Control/>
</VerticalLayout></Window>)";
  CPaintManagerUI::SetResourcePath(CStdString(folder.path()));
  toolkit_testing::SkinWindow window("hover.xml");
  ASSERT_TRUE(window.Create(nullptr, "hover test", UI_WNDSTYLE_FRAME, 0, 120, 120, 300, 200));
  window.ShowWindow(true, true);
  auto* native = dynamic_cast<toolkit::GtkNativeWindow*>(window.Native());
  ASSERT_NE(native, nullptr);
  EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(native->Widget())));
  std::vector<POINT> hits, moves;  // client points of the hit tests and of the moves
  window.onMessage = [&](UINT msg, WPARAM, LPARAM lParam, bool&) -> LRESULT {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (msg == WM_NCHITTEST) {
      ScreenToClient(window, &pt);
      hits.push_back(pt);
    }
    if (msg == WM_MOUSEMOVE) moves.push_back(pt);
    return 0;
  };
  GdkWindow* gdk = nullptr;
  ASSERT_TRUE(PumpUntil([&] {
    gdk = gtk_widget_get_window(native->Widget());
    return gdk && gdk_window_is_viewable(gdk);
  }));
  // The X server moves the pointer as a user's mouse would.
  GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_window_get_display(gdk)));
  auto pointAt = [&](int x, int y) {
    int ox = 0, oy = 0;
    gdk_window_get_origin(gdk, &ox, &oy);
    gdk_device_warp(pointer, gdk_window_get_screen(gdk), ox + x, oy + y);
    auto at = [&](const std::vector<POINT>& seen) { return !seen.empty() && seen.back().x == x && seen.back().y == y; };
    return PumpUntil([&] { return at(moves) && at(hits); });
  };
  EXPECT_TRUE(pointAt(60, 50)) << moves.size() << " moves, " << hits.size() << " hit tests";
  EXPECT_EQ(window.pm.GetHot(), window.pm.FindControl("用户提醒"));
  EXPECT_TRUE(pointAt(200, 150));
  window.onMessage = nullptr;
  DestroyWindow(window);
  toolkit::Dispatcher::Instance().ClearQuit();
}

TEST(RealWindow, AClickRunsAModalDialogWhileTheOwnersTimerTicks) {
  testing_support::TempFolder folder;
  std::ofstream(folder.File("owner.xml")) << R"(<Window size="300,200"><VerticalLayout bkcolor="#FFFFFFFF">
  <Button name="open" height="40"/><Control/></VerticalLayout></Window>)";
  std::ofstream(folder.File("dlg.xml")) << R"(<Window size="200,100" roundcorner="9,9">
  <VerticalLayout bkcolor="#FF2080C0"/></Window>)";
  CPaintManagerUI::SetResourcePath(CStdString(folder.path()));
  toolkit_testing::SkinWindow owner("owner.xml");
  ASSERT_TRUE(owner.Create(nullptr, "modal owner", UI_WNDSTYLE_FRAME, 0, 100, 100, 300, 200));
  owner.ShowWindow(true, true);
  bool modal = false, ownerDisabled = false, returned = false;
  HWND dialog = nullptr;
  int ticksWhileModal = 0;
  // The owner's timer keeps ticking under the dialog; its third tick there closes the dialog.
  owner.onMessage = [&](UINT msg, WPARAM, LPARAM, bool&) -> LRESULT {
    if (msg != WM_TIMER || !modal) return 0;
    if (!dialog) dialog = toolkit::AllWindows().back();
    ownerDisabled = !IsWindowEnabled(owner);
    if (++ticksWhileModal == 3) PostMessage(dialog, WM_CLOSE, 0, 0);
    return 0;
  };
  owner.onNotify = [&](TNotifyUI& msg) {
    if (msg.sType != "click") return;
    modal = true;
    toolkit::RunModal<toolkit_testing::SkinWindow>(owner, "dialog", "dlg.xml");
    modal = false;
    returned = true;
  };
  SetTimer(owner, 1, 50);
  auto* native = dynamic_cast<toolkit::GtkNativeWindow*>(owner.Native());
  ASSERT_NE(native, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_mapped(native->Widget()); }));
  owner.pm.DoLayout();
  CRect open = owner.pm.FindControl("open")->GetPos();
  owner.OnNativeMouse(WM_LBUTTONDOWN, open.left + 5, open.top + 5);
  owner.OnNativeMouse(WM_LBUTTONUP, open.left + 5, open.top + 5);  // returns when the dialog is gone
  EXPECT_TRUE(returned);
  EXPECT_EQ(ticksWhileModal, 3);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_NE(dialog, static_cast<HWND>(owner));
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(IsWindowEnabled(owner));
  KillTimer(owner, 1);
  owner.onMessage = nullptr;
  DestroyWindow(owner);
  toolkit::Dispatcher::Instance().ClearQuit();
}
