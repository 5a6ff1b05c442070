// The desktop services of a GTK session. Addresses go to the desktop's opener (xdg-open), which
// hands them to the user's browser.
#include "toolkit/gtk/gtk_desktop.h"

#include <gtk/gtk.h>

namespace toolkit {
namespace {

GdkMonitor* PrimaryMonitor() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
  if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
  return monitor;
}

class GtkDesktop : public DesktopBackend {
 public:
  std::unique_ptr<NativeMessageBox> OpenMessageBox(NativeWindow* owner, const std::string& text,
                                                   const std::string& caption, UINT type,
                                                   const CRect& anchor) override {
    return OpenGtkMessageBox(owner, text, caption, type, anchor, GtkWorkArea());
  }

  std::unique_ptr<NativeFolderPicker> OpenFolderPicker(NativeWindow* owner, const std::string& title) override {
    return OpenGtkFolderPicker(owner, title);
  }

  std::unique_ptr<NativeTray> CreateTray(TrayHost* host, const std::string& iconPng, const std::string& tip) override {
    return CreateGtkTray(host, iconPng, tip);
  }

  // The opener has no way to ask the browser for a window state, so showCommand is not passed on:
  // the browser opens the page in the window it chooses (usually a new tab of the window in use).
  bool OpenUrl(const std::string& url, int) override {
    // Started without a shell, with none of our descriptors, and reaped by GLib, so the address
    // stays one argument and no child is left behind.
    const char* argv[] = {"xdg-open", url.c_str(), nullptr};
    auto flags =
        static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL);
    GError* error = nullptr;
    gboolean started =
        g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, flags, nullptr, nullptr, nullptr, &error);
    if (error) g_error_free(error);
    return started;
  }

  CSize ScreenSize() override {
    GdkMonitor* monitor = PrimaryMonitor();
    if (!monitor) return CSize(1280, 1024);
    GdkRectangle r;
    gdk_monitor_get_geometry(monitor, &r);
    return CSize(r.width, r.height);
  }

  CRect WorkArea() override { return GtkWorkArea(); }
};

}  // namespace

CRect GtkWorkArea() {
  GdkMonitor* monitor = PrimaryMonitor();
  if (!monitor) return CRect(0, 0, 1280, 1024);
  GdkRectangle r;
  gdk_monitor_get_workarea(monitor, &r);
  return CRect(r.x, r.y, r.x + r.width, r.y + r.height);
}

std::unique_ptr<DesktopBackend> CreateGtkDesktop() { return std::make_unique<GtkDesktop>(); }

}  // namespace toolkit
