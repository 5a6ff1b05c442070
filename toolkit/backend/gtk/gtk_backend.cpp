// The real window system: GTK 3 on X11 (XWayland on Wayland desktops), so that windows can place
// themselves where the programs put them.
#include <errno.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <map>

#include "toolkit/backend/headless/headless_backend.h"
#include "toolkit/backend/gtk/gtk_desktop.h"
#include "toolkit/backend/gtk/gtk_window.h"

namespace toolkit {
namespace {

class GtkBackend : public Backend {
 public:
  bool IsHeadless() const override { return false; }

  std::unique_ptr<NativeWindow> CreateNativeWindow(WindowHost* host, const WindowParams& params) override {
    return std::make_unique<GtkNativeWindow>(host, params);
  }

  int64_t NowMs() override { return g_get_monotonic_time() / 1000; }

  void DispatchReady() override {
    for (int i = 0; i < 256 && g_main_context_iteration(nullptr, FALSE); ++i) {
    }
  }

  void Wait(std::optional<int64_t> deadlineMs) override {
    guint source = 0;
    bool fired = false;
    if (deadlineMs) {
      int64_t ms = std::max<int64_t>(0, *deadlineMs - NowMs());
      source = g_timeout_add(static_cast<guint>(ms), +[](gpointer flag) -> gboolean {
        *static_cast<bool*>(flag) = true;
        return G_SOURCE_REMOVE;
      }, &fired);
    }
    // Without a deadline this blocks until an event or a wake-up: an idle window costs nothing.
    g_main_context_iteration(nullptr, TRUE);
    if (source && !fired) g_source_remove(source);
  }

  void Wake() override { g_main_context_wakeup(nullptr); }

  DesktopBackend& Desktop() override { return *desktop_; }

  CPoint CursorPos() override {
    GdkDisplay* display = gdk_display_get_default();
    GdkSeat* seat = display ? gdk_display_get_default_seat(display) : nullptr;
    GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
    int x = 0, y = 0;
    if (pointer) gdk_device_get_position(pointer, nullptr, &x, &y);
    return CPoint(x, y);
  }

  void WatchReadable(int fd, std::function<void()> onReadable) override {
    UnwatchReadable(fd);
    auto* callback = new std::function<void()>(std::move(onReadable));
    guint id = g_unix_fd_add_full(
        G_PRIORITY_DEFAULT, fd, G_IO_IN,
        +[](gint, GIOCondition, gpointer data) -> gboolean {
          (*static_cast<std::function<void()>*>(data))();
          return G_SOURCE_CONTINUE;
        },
        callback, +[](gpointer data) { delete static_cast<std::function<void()>*>(data); });
    watches_[fd] = id;
  }

  void UnwatchReadable(int fd) override {
    auto it = watches_.find(fd);
    if (it == watches_.end()) return;
    g_source_remove(it->second);
    watches_.erase(it);
  }

 private:
  std::unique_ptr<DesktopBackend> desktop_ = CreateGtkDesktop();
  std::map<int, guint> watches_;
};

constexpr int kDisplayAttempts = 20;
constexpr int kDisplayRetryMs = 100;

}  // namespace

// Real windows when a display can be opened, the headless twin otherwise (a program started
// without a display then runs without windows instead of failing).
std::unique_ptr<Backend> CreateDefaultBackend() {
  gdk_set_allowed_backends("x11");
  // Every window is painted with cairo. Left alone, GDK opens an OpenGL context at start-up to
  // choose its visual, which loads the GL driver (on a machine without a GPU, a software renderer
  // of some 50 MB resident) for nothing. A user's own GDK_GL setting stays.
  g_setenv("GDK_GL", "disable", FALSE);
  if (gtk_init_check(nullptr, nullptr)) return std::make_unique<GtkBackend>();
  const char* display = g_getenv("DISPLAY");
  if (!display || !*display) return std::make_unique<HeadlessBackend>();
  // A display is named: an X server under load now and then turns a new connection away, and a
  // program that then went on without windows would show its user nothing at all.
  for (int attempt = 0; attempt < kDisplayAttempts; ++attempt) {
    g_usleep(kDisplayRetryMs * 1000);
    if (gtk_init_check(nullptr, nullptr)) return std::make_unique<GtkBackend>();
  }
  g_printerr("%s: cannot open the display %s; going on without windows\n", program_invocation_short_name, display);
  return std::make_unique<HeadlessBackend>();
}

}  // namespace toolkit
