// The tray icon on a GTK desktop: a StatusNotifierItem when a panel watches for items, else an
// icon in the X11 system tray, else a small stand-in window. It follows the hosts as they come and
// go: a restarted panel gets the item registered again, a tray that goes away leaves the stand-in,
// and a tray that comes (back) takes the icon from the stand-in.
#include <gio/gio.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "toolkit/backend/gtk/gtk_desktop.h"
#include "toolkit/render/gfx_holders.h"

namespace toolkit {
namespace {

const char kWatcher[] = "org.kde.StatusNotifierWatcher";
const char kItemPath[] = "/StatusNotifierItem";
const char kItemInterface[] = "org.kde.StatusNotifierItem";

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
  GVariantHolder r(g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                               "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", name),
                                               G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, 500, nullptr, nullptr));
  if (!r) return false;
  gboolean has = FALSE;
  g_variant_get(r.get(), "(b)", &has);
  return has;
}

bool XTrayPresent() { return gdk_selection_owner_get(gdk_atom_intern("_NET_SYSTEM_TRAY_S0", FALSE)) != nullptr; }

class GtkTray : public NativeTray {
 public:
  GtkTray(TrayHost* host, const std::string& iconPng, const std::string& tip) : host_(host), tip_(tip) {
    if (!iconPng.empty()) pixbuf_.reset(gdk_pixbuf_new_from_file_at_size(iconPng.c_str(), 32, 32, nullptr));
    bus_.reset(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    if (bus_) ExportItem();
    if (registration_ && HasOwner(bus_.get(), kWatcher)) {
      mode_ = TrayMode::StatusNotifier;  // registered once the watch reports the watcher
    } else {
      ShowWithoutPanel();
    }
    if (registration_) {
      watch_ = g_bus_watch_name_on_connection(bus_.get(), kWatcher, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                              &GtkTray::WatcherAppeared, &GtkTray::WatcherVanished, this, nullptr);
    }
  }

  ~GtkTray() override { Remove(); }
  GtkTray(const GtkTray&) = delete;
  GtkTray& operator=(const GtkTray&) = delete;

  TrayMode GetMode() const override { return mode_; }

  void SetTip(const std::string& tip) override {
    tip_ = tip;
    if (registration_) {
      g_dbus_connection_emit_signal(bus_.get(), nullptr, kItemPath, kItemInterface, "NewToolTip", nullptr, nullptr);
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (status_) gtk_status_icon_set_tooltip_text(status_.get(), tip_.c_str());
#pragma GCC diagnostic pop
    if (standIn_) gtk_widget_set_tooltip_text(standIn_, tip_.c_str());
  }

  bool Remove() override {
    if (removed_) return true;
    removed_ = true;
    bool gone = true;
    if (watch_) g_bus_unwatch_name(watch_);
    watch_ = 0;
    if (owner_) g_bus_unown_name(owner_);  // the panel drops an item whose name goes
    owner_ = 0;
    if (registration_) gone = g_dbus_connection_unregister_object(bus_.get(), registration_);
    registration_ = 0;
    bus_.reset();
    DropStatusIcon();
    DropStandIn();
    return gone;
  }

 private:
  void ExportItem() {
    std::unique_ptr<GDBusNodeInfo, FreeWith<g_dbus_node_info_unref>> info(
        g_dbus_node_info_new_for_xml(kItemXml, nullptr));
    if (!info) return;
    static const GDBusInterfaceVTable vtable = {&GtkTray::OnCall, &GtkTray::OnGet, nullptr, {}};
    registration_ =
        g_dbus_connection_register_object(bus_.get(), kItemPath, info->interfaces[0], &vtable, this, nullptr, nullptr);
    if (!registration_) return;
    static std::atomic<int> serial{0};
    busName_ = std::string(kItemInterface) + "-" + std::to_string(getpid()) + "-" + std::to_string(++serial);
    owner_ = g_bus_own_name_on_connection(bus_.get(), busName_.c_str(), G_BUS_NAME_OWNER_FLAGS_NONE,
                                          &GtkTray::NameAcquired, nullptr, this, nullptr);
  }

  // A watcher accepts only a name that is already owned, so the item registers once both are there,
  // and again with every new watcher.
  void RegisterWithWatcher() {
    if (!nameAcquired_ || !watcherPresent_ || removed_) return;
    g_dbus_connection_call(bus_.get(), kWatcher, "/StatusNotifierWatcher", kWatcher, "RegisterStatusNotifierItem",
                           g_variant_new("(s)", busName_.c_str()), nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
                           nullptr, nullptr);
  }

  static void NameAcquired(GDBusConnection*, const gchar*, gpointer data) {
    auto* self = static_cast<GtkTray*>(data);
    self->nameAcquired_ = true;
    self->RegisterWithWatcher();
  }

  static void WatcherAppeared(GDBusConnection*, const gchar*, const gchar*, gpointer data) {
    auto* self = static_cast<GtkTray*>(data);
    self->watcherPresent_ = true;
    self->RegisterWithWatcher();
    self->DropStatusIcon();
    self->DropStandIn();
    self->mode_ = TrayMode::StatusNotifier;
  }

  static void WatcherVanished(GDBusConnection*, const gchar*, gpointer data) {
    auto* self = static_cast<GtkTray*>(data);
    self->watcherPresent_ = false;
    if (!self->removed_) self->ShowWithoutPanel();
  }

  // Without a panel: the X11 tray when there is one, the stand-in until one comes.
  void ShowWithoutPanel() {
    if (!status_) MakeStatusIcon();
    if (XTrayPresent()) {
      DropStandIn();
      mode_ = TrayMode::XEmbed;
    } else {
      if (!standIn_) MakeStandIn();
      mode_ = TrayMode::StandIn;
    }
  }

  static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method, GVariant*,
                     GDBusMethodInvocation* invocation, gpointer data) {
    auto* self = static_cast<GtkTray*>(data);
    std::string m = method;
    if (m == "Activate" || m == "SecondaryActivate") self->host_->OnTrayActivate();
    if (m == "ContextMenu") self->host_->OnTrayContextMenu();
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }

  GVariant* Pixmaps() const {
    GVariantBuilder b;
    g_variant_builder_init(&b, G_VARIANT_TYPE("a(iiay)"));
    if (pixbuf_) {
      int w = gdk_pixbuf_get_width(pixbuf_.get()), h = gdk_pixbuf_get_height(pixbuf_.get());
      int n = gdk_pixbuf_get_n_channels(pixbuf_.get()), stride = gdk_pixbuf_get_rowstride(pixbuf_.get());
      const guchar* px = gdk_pixbuf_read_pixels(pixbuf_.get());
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

  static gboolean OnPress(GdkEventButton* e, GtkTray* self) {
    if (e->type == GDK_2BUTTON_PRESS && e->button == 1) self->host_->OnTrayActivate();
    if (e->type == GDK_BUTTON_PRESS && e->button == 3) self->host_->OnTrayContextMenu();
    return TRUE;
  }

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  // A status icon docks into an X11 tray whenever one is there, also one that starts (again) later.
  void MakeStatusIcon() {
    status_.reset(pixbuf_ ? gtk_status_icon_new_from_pixbuf(pixbuf_.get())
                          : gtk_status_icon_new_from_icon_name("dialog-information"));
    gtk_status_icon_set_tooltip_text(status_.get(), tip_.c_str());
    g_signal_connect(status_.get(), "button-press-event",
                     G_CALLBACK(+[](GtkStatusIcon*, GdkEventButton* e, gpointer data) {
                       return OnPress(e, static_cast<GtkTray*>(data));
                     }),
                     this);
    g_signal_connect(status_.get(), "notify::embedded", G_CALLBACK(+[](GObject*, GParamSpec*, gpointer data) {
                       static_cast<GtkTray*>(data)->EmbeddingChanged();
                     }),
                     this);
  }
  void EmbeddingChanged() {
    if (!status_ || mode_ == TrayMode::StatusNotifier) return;
    if (gtk_status_icon_is_embedded(status_.get())) {
      DropStandIn();
      mode_ = TrayMode::XEmbed;
    } else {
      if (!standIn_) MakeStandIn();
      mode_ = TrayMode::StandIn;
    }
  }
  void DropStatusIcon() {
    if (!status_) return;
    g_signal_handlers_disconnect_by_data(status_.get(), this);
    gtk_status_icon_set_visible(status_.get(), FALSE);
    status_.reset();
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
    GtkWidget* image = pixbuf_ ? gtk_image_new_from_pixbuf(pixbuf_.get())
                               : gtk_image_new_from_icon_name("dialog-information", GTK_ICON_SIZE_DND);
    gtk_container_add(GTK_CONTAINER(box), image);
    gtk_container_add(GTK_CONTAINER(standIn_), box);
    g_signal_connect(box, "button-press-event", G_CALLBACK(+[](GtkWidget*, GdkEventButton* e, gpointer data) {
                       return OnPress(e, static_cast<GtkTray*>(data));
                     }),
                     this);
    CRect area = GtkWorkArea();
    gtk_window_move(GTK_WINDOW(standIn_), area.right - 44, area.bottom - 44);
    gtk_widget_show_all(standIn_);
  }
  void DropStandIn() {
    if (!standIn_) return;
    gtk_widget_destroy(standIn_);
    standIn_ = nullptr;
  }

  TrayHost* host_;
  GObjectRef<GDBusConnection> bus_;
  guint registration_ = 0;
  guint owner_ = 0;
  guint watch_ = 0;
  bool nameAcquired_ = false;
  bool watcherPresent_ = false;
  bool removed_ = false;
  std::string busName_;
  std::string tip_;
  GObjectRef<GdkPixbuf> pixbuf_;
  GObjectRef<GtkStatusIcon> status_;
  GtkWidget* standIn_ = nullptr;
  TrayMode mode_ = TrayMode::StandIn;
};

}  // namespace

std::unique_ptr<NativeTray> CreateGtkTray(TrayHost* host, const std::string& iconPng, const std::string& tip) {
  return std::make_unique<GtkTray>(host, iconPng, tip);
}

}  // namespace toolkit
