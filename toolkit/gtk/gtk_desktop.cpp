// Message box, folder picker and tray icon on a GTK desktop.
#include <gio/gio.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <string>

#include "toolkit/desktop/desktop.h"
#include "toolkit/gtk/gtk_window.h"

namespace toolkit {

namespace {
GtkWindow* ParentOf(NativeWindow* owner) {
  auto* w = dynamic_cast<GtkNativeWindow*>(owner);
  return w ? GTK_WINDOW(w->Widget()) : nullptr;
}
}  // namespace

int GtkMessageBox(NativeWindow* owner, const std::string& text, const std::string& caption, UINT type) {
  UINT icon = type & 0xF0;
  GtkMessageType kind = icon == MB_ICONERROR      ? GTK_MESSAGE_ERROR
                        : icon == MB_ICONQUESTION ? GTK_MESSAGE_QUESTION
                        : icon == MB_ICONWARNING  ? GTK_MESSAGE_WARNING
                                                  : GTK_MESSAGE_INFO;
  bool yesNo = (type & 0x0F) == MB_YESNO;
  GtkWidget* dialog = gtk_message_dialog_new(ParentOf(owner), GTK_DIALOG_MODAL, kind,
                                             yesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), caption.c_str());
  gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
  int response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  if (response == GTK_RESPONSE_YES) return IDYES;
  if (response == GTK_RESPONSE_NO) return IDNO;
  if (response == GTK_RESPONSE_OK) return IDOK;
  return yesNo ? IDNO : IDOK;
}

std::optional<std::string> GtkBrowseForFolder(NativeWindow* owner, const std::string& title) {
  GtkWidget* dialog = gtk_file_chooser_dialog_new(title.c_str(), ParentOf(owner), GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER,
                                                  "取消", GTK_RESPONSE_CANCEL, "确定", GTK_RESPONSE_ACCEPT, nullptr);
  gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(dialog), TRUE);
  std::optional<std::string> picked;
  if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
    if (char* path = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog))) {
      picked = path;
      g_free(path);
    }
  }
  gtk_widget_destroy(dialog);
  return picked;
}

// Tray -----------------------------------------------------------------------------------------------

namespace {

const char kItemXml[] = R"xml(<node><interface name="org.kde.StatusNotifierItem">
<property name="Category" type="s" access="read"/><property name="Id" type="s" access="read"/>
<property name="Title" type="s" access="read"/><property name="Status" type="s" access="read"/>
<property name="IconName" type="s" access="read"/><property name="IconPixmap" type="a(iiay)" access="read"/>
<property name="ToolTip" type="(sa(iiay)ss)" access="read"/><property name="ItemIsMenu" type="b" access="read"/>
<method name="Activate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
<method name="SecondaryActivate"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
<method name="ContextMenu"><arg name="x" type="i" direction="in"/><arg name="y" type="i" direction="in"/></method>
<method name="Scroll"><arg name="delta" type="i" direction="in"/><arg name="orientation" type="s" direction="in"/></method>
<signal name="NewToolTip"/></interface></node>)xml";

bool HasOwner(GDBusConnection* bus, const char* name) {
  GVariant* r = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                            "NameHasOwner", g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"),
                                            G_DBUS_CALL_FLAGS_NONE, 500, nullptr, nullptr);
  if (!r) return false;
  gboolean has = FALSE;
  g_variant_get(r, "(b)", &has);
  g_variant_unref(r);
  return has;
}

class GtkTray : public TrayIcon {
 public:
  GtkTray(HWND target, UINT message, UINT id, const std::string& iconPng, const std::string& tip)
      : TrayIcon(target, message, id), tip_(tip) {
    pixbuf_ = iconPng.empty() ? nullptr : gdk_pixbuf_new_from_file_at_size(iconPng.c_str(), 32, 32, nullptr);
    bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (bus_) ExportItem();
    if (bus_ && HasOwner(bus_, "org.kde.StatusNotifierWatcher")) {
      mode_ = Mode::StatusNotifier;
    } else if (gdk_selection_owner_get(gdk_atom_intern("_NET_SYSTEM_TRAY_S0", FALSE))) {
      MakeStatusIcon();
      mode_ = Mode::XEmbed;
    } else {
      MakeStandIn();
      mode_ = Mode::StandIn;
    }
    // A panel that starts later still gets the icon; the stand-in then goes.
    if (bus_) {
      watch_ = g_bus_watch_name_on_connection(bus_, "org.kde.StatusNotifierWatcher", G_BUS_NAME_WATCHER_FLAGS_NONE,
                                              &GtkTray::WatcherAppeared, nullptr, this, nullptr);
    }
  }

  ~GtkTray() override {
    if (watch_) g_bus_unwatch_name(watch_);
    if (owner_) g_bus_unown_name(owner_);
    if (registration_) g_dbus_connection_unregister_object(bus_, registration_);
    if (bus_) g_object_unref(bus_);
    DropStatusIcon();
    if (standIn_) gtk_widget_destroy(standIn_);
    if (pixbuf_) g_object_unref(pixbuf_);
  }

  Mode GetMode() const override { return mode_; }

  void SetTip(const CStdString& tip) override {
    tip_ = tip.str();
    if (bus_ && registration_) {
      g_dbus_connection_emit_signal(bus_, nullptr, "/StatusNotifierItem", "org.kde.StatusNotifierItem", "NewToolTip",
                                    nullptr, nullptr);
    }
    if (standIn_) gtk_widget_set_tooltip_text(standIn_, tip_.c_str());
  }

 private:
  void ExportItem() {
    GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(kItemXml, nullptr);
    static const GDBusInterfaceVTable vtable = {&GtkTray::OnCall, &GtkTray::OnGet, nullptr, {}};
    registration_ = g_dbus_connection_register_object(bus_, "/StatusNotifierItem", info->interfaces[0], &vtable, this,
                                                      nullptr, nullptr);
    g_dbus_node_info_unref(info);
    busName_ = "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-1";
    owner_ = g_bus_own_name_on_connection(bus_, busName_.c_str(), G_BUS_NAME_OWNER_FLAGS_NONE, nullptr, nullptr, nullptr,
                                          nullptr);
  }

  static void WatcherAppeared(GDBusConnection* bus, const gchar*, const gchar*, gpointer data) {
    auto* self = static_cast<GtkTray*>(data);
    g_dbus_connection_call(bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                           "org.kde.StatusNotifierWatcher", "RegisterStatusNotifierItem",
                           g_variant_new("(s)", self->busName_.c_str()), nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
                           nullptr, nullptr);
    self->DropStatusIcon();
    if (self->standIn_) {
      gtk_widget_destroy(self->standIn_);
      self->standIn_ = nullptr;
    }
    self->mode_ = Mode::StatusNotifier;
  }

  static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant*,
                     GDBusMethodInvocation* invocation, gpointer data) {
    auto* self = static_cast<GtkTray*>(data);
    std::string m = method;
    if (m == "Activate" || m == "SecondaryActivate") self->Activate();
    if (m == "ContextMenu") self->ContextMenu();
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }

  GVariant* Pixmaps() const {
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE("a(iiay)"));
    if (pixbuf_) {
      int w = gdk_pixbuf_get_width(pixbuf_), h = gdk_pixbuf_get_height(pixbuf_);
      int n = gdk_pixbuf_get_n_channels(pixbuf_), stride = gdk_pixbuf_get_rowstride(pixbuf_);
      const guchar* px = gdk_pixbuf_read_pixels(pixbuf_);
      std::string argb;  // network byte order ARGB, as the protocol wants
      for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
          const guchar* p = px + y * stride + x * n;
          argb += static_cast<char>(n == 4 ? p[3] : 255);
          argb += static_cast<char>(p[0]);
          argb += static_cast<char>(p[1]);
          argb += static_cast<char>(p[2]);
        }
      }
      GVariant* bytes = g_variant_new_fixed_array(G_VARIANT_TYPE_BYTE, argb.data(), argb.size(), 1);
      g_variant_builder_add(&b, "(ii@ay)", w, h, bytes);
    }
    return g_variant_builder_end(&b);
  }

  static GVariant* OnGet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* property, GError**,
                         gpointer data) {
    auto* self = static_cast<GtkTray*>(data);
    std::string p = property;
    if (p == "Category") return g_variant_new_string("ApplicationStatus");
    if (p == "Id") return g_variant_new_string("vymera");
    if (p == "Title") return g_variant_new_string(self->tip_.c_str());
    if (p == "Status") return g_variant_new_string("Active");
    if (p == "IconName") return g_variant_new_string("");
    if (p == "ItemIsMenu") return g_variant_new_boolean(FALSE);
    if (p == "IconPixmap") return self->Pixmaps();
    if (p == "ToolTip") {
      return g_variant_new("(s@a(iiay)ss)", "", g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0),
                           self->tip_.c_str(), "");
    }
    return nullptr;
  }

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  void MakeStatusIcon() {
    status_ = pixbuf_ ? gtk_status_icon_new_from_pixbuf(pixbuf_) : gtk_status_icon_new_from_icon_name("dialog-information");
    gtk_status_icon_set_tooltip_text(status_, tip_.c_str());
    g_signal_connect(status_, "button-press-event", G_CALLBACK(+[](GtkStatusIcon*, GdkEventButton* e, gpointer data) -> gboolean {
                       auto* self = static_cast<GtkTray*>(data);
                       if (e->type == GDK_2BUTTON_PRESS && e->button == 1) self->Activate();
                       if (e->type == GDK_BUTTON_PRESS && e->button == 3) self->ContextMenu();
                       return TRUE;
                     }),
                     this);
  }
  void DropStatusIcon() {
    if (!status_) return;
    gtk_status_icon_set_visible(status_, FALSE);
    g_object_unref(status_);
    status_ = nullptr;
  }
#pragma GCC diagnostic pop

  // Without a notification area: a small icon window in the bottom-right corner of the screen,
  // above other windows, that answers a double click and a right click as the tray icon would.
  void MakeStandIn() {
    standIn_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(standIn_), tip_.c_str());
    gtk_window_set_decorated(GTK_WINDOW(standIn_), FALSE);
    gtk_window_set_keep_above(GTK_WINDOW(standIn_), TRUE);
    gtk_window_set_skip_pager_hint(GTK_WINDOW(standIn_), TRUE);
    gtk_window_set_type_hint(GTK_WINDOW(standIn_), GDK_WINDOW_TYPE_HINT_DOCK);
    gtk_widget_set_tooltip_text(standIn_, tip_.c_str());
    GtkWidget* box = gtk_event_box_new();
    GtkWidget* image = pixbuf_ ? gtk_image_new_from_pixbuf(pixbuf_) : gtk_image_new_from_icon_name("dialog-information", GTK_ICON_SIZE_DND);
    gtk_container_add(GTK_CONTAINER(box), image);
    gtk_container_add(GTK_CONTAINER(standIn_), box);
    g_signal_connect(box, "button-press-event", G_CALLBACK(+[](GtkWidget*, GdkEventButton* e, gpointer data) -> gboolean {
                       auto* self = static_cast<GtkTray*>(data);
                       if (e->type == GDK_2BUTTON_PRESS && e->button == 1) self->Activate();
                       if (e->type == GDK_BUTTON_PRESS && e->button == 3) self->ContextMenu();
                       return TRUE;
                     }),
                     this);
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
    if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
    GdkRectangle area{0, 0, 1280, 1024};
    if (monitor) gdk_monitor_get_workarea(monitor, &area);
    gtk_window_move(GTK_WINDOW(standIn_), area.x + area.width - 44, area.y + area.height - 44);
    gtk_widget_show_all(standIn_);
  }

  GDBusConnection* bus_ = nullptr;
  guint registration_ = 0;
  guint owner_ = 0;
  guint watch_ = 0;
  std::string busName_;
  std::string tip_;
  GdkPixbuf* pixbuf_ = nullptr;
  GtkStatusIcon* status_ = nullptr;
  GtkWidget* standIn_ = nullptr;
  Mode mode_ = Mode::StandIn;
};

}  // namespace

std::unique_ptr<TrayIcon> CreateGtkTrayIcon(HWND target, UINT message, UINT id, const std::string& iconPng,
                                            const std::string& tip) {
  return std::make_unique<GtkTray>(target, message, id, iconPng, tip);
}

}  // namespace toolkit
