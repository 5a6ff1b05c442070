// Real windows under a display (a virtual X server in CI).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <set>
#include <thread>

#include "toolkit/core/dispatcher.h"
#include "toolkit/desktop/desktop.h"
#include "toolkit/examples/skinview/skin_view_window.h"
#include "toolkit/gtk/gtk_window.h"

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

TEST(RealWindow, TrayWithoutANotificationAreaStandsInWithAWindow) {
  CPaintManagerUI::SetResourcePath(CStdString(std::string(VYMERA_SKINVIEW_SAMPLE).substr(0, std::string(VYMERA_SKINVIEW_SAMPLE).rfind('/'))));
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
