// The desktop services of a GTK session. Addresses go to the desktop's opener (xdg-open), which
// hands them to the user's browser.
#include "toolkit/backend/gtk/gtk_desktop.h"

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
  bool OpenUrl(const std::string& url, int, std::function<void()> failed) override {
    // Started without a shell and with none of our descriptors, so the address stays one argument;
    // the opener is reaped when it ends, and its exit status tells whether it found a browser.
    const char* argv[] = {"xdg-open", url.c_str(), nullptr};
    auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                          G_SPAWN_STDERR_TO_DEV_NULL | G_SPAWN_DO_NOT_REAP_CHILD);
    GPid child = 0;
    // Started or not is all that matters here; the error says nothing the caller acts on.
    gboolean started =
        g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, flags, nullptr, nullptr, &child, nullptr);
    if (!started) return false;
    auto* watch = new std::function<void()>(std::move(failed));
    g_child_watch_add_full(
        G_PRIORITY_DEFAULT, child,
        [](GPid pid, gint status, gpointer data) {
          auto* onFailure = static_cast<std::function<void()>*>(data);
          if (!g_spawn_check_wait_status(status, nullptr) && *onFailure) (*onFailure)();
          g_spawn_close_pid(pid);
        },
        watch, [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
    return true;
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
