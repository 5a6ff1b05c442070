// Saves what the X screen shows as a PNG: how the tests of the real programs look at their windows.
#include <gtk/gtk.h>

int main(int argc, char** argv) {
  if (argc != 2 || !gtk_init_check(&argc, &argv)) return 2;
  GdkWindow* root = gdk_get_default_root_window();
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, gdk_window_get_width(root), gdk_window_get_height(root));
  if (!shot) return 1;
  gboolean saved = gdk_pixbuf_save(shot, argv[1], "png", nullptr, nullptr);
  g_object_unref(shot);
  return saved ? 0 : 1;
}
