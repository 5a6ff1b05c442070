// The tray icon on a session bus of its own, with a panel that comes and goes: the item registers
// with every new watcher, the panel's clicks reach the target window, the stand-in covers the gap,
// and a removed icon stays away.
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/dispatcher.h"
#include "toolkit/desktop/desktop.h"
#include "toolkit/testing/recording_window.h"
#include "toolkit/tests/gui_pump.h"

using toolkit_testing::PumpUntil;
using toolkit_testing::RecordingWnd;
using Mode = toolkit::TrayIcon::Mode;

namespace {

constexpr UINT kTrayMessage = WM_APP + 10;

const char kWatcherXml[] = R"(<node><interface name="org.kde.StatusNotifierWatcher">
<method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
</interface></node>)";

// A private dbus-daemon as the session bus of this process, for as long as the object lives.
class PrivateSessionBus {
 public:
  PrivateSessionBus() {
    gchar* daemon = g_find_program_in_path("dbus-daemon");
    if (!daemon) return;
    g_free(daemon);
    bus_ = g_test_dbus_new(G_TEST_DBUS_NONE);
    g_test_dbus_up(bus_);
    session_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    // The private bus ends before the process does; that must not end the process.
    if (session_) g_dbus_connection_set_exit_on_close(session_, FALSE);
  }
  ~PrivateSessionBus() {
    if (session_) g_object_unref(session_);
    if (!bus_) return;
    g_test_dbus_stop(bus_);
    g_object_unref(bus_);
  }
  PrivateSessionBus(const PrivateSessionBus&) = delete;
  PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

  bool Up() const { return session_ != nullptr; }
  std::string Address() const { return g_test_dbus_get_bus_address(bus_); }
  const char* SessionName() const { return g_dbus_connection_get_unique_name(session_); }

 private:
  GTestDBus* bus_ = nullptr;
  GDBusConnection* session_ = nullptr;
};

// A panel's StatusNotifierWatcher on a connection of its own: it keeps the items that register and
// calls them as a panel does when the user clicks an icon.
class FakeWatcher {
 public:
  explicit FakeWatcher(const std::string& address) {
    auto flags = static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                   G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION);
    conn_ = g_dbus_connection_new_for_address_sync(address.c_str(), flags, nullptr, nullptr, nullptr);
    if (!conn_) return;
    GDBusNodeInfo* info = g_dbus_node_info_new_for_xml(kWatcherXml, nullptr);
    static const GDBusInterfaceVTable vtable = {&FakeWatcher::OnCall, nullptr, nullptr, {}};
    registration_ = g_dbus_connection_register_object(conn_, "/StatusNotifierWatcher", info->interfaces[0], &vtable,
                                                      this, nullptr, nullptr);
    g_dbus_node_info_unref(info);
    owner_ = g_bus_own_name_on_connection(
        conn_, "org.kde.StatusNotifierWatcher", G_BUS_NAME_OWNER_FLAGS_NONE,
        +[](GDBusConnection*, const gchar*, gpointer self) { static_cast<FakeWatcher*>(self)->owned_ = true; }, nullptr,
        this, nullptr);
  }
  ~FakeWatcher() {
    if (owner_) g_bus_unown_name(owner_);
    if (registration_) g_dbus_connection_unregister_object(conn_, registration_);
    if (!conn_) return;
    g_dbus_connection_close_sync(conn_, nullptr, nullptr);
    g_object_unref(conn_);
  }
  FakeWatcher(const FakeWatcher&) = delete;
  FakeWatcher& operator=(const FakeWatcher&) = delete;

  bool Owned() const { return owned_; }
  const std::vector<std::string>& Items() const { return items_; }

  // The panel's call on a click: "Activate" (left) or "ContextMenu" (right).
  void Click(const std::string& item, const char* method) {
    g_dbus_connection_call(conn_, item.c_str(), "/StatusNotifierItem", "org.kde.StatusNotifierItem", method,
                           g_variant_new("(ii)", 0, 0), nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr, nullptr);
  }

  bool HasOwner(const std::string& name) {
    GVariant* r = g_dbus_connection_call_sync(
        conn_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        g_variant_new("(s)", name.c_str()), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    if (!r) return false;
    gboolean has = FALSE;
    g_variant_get(r, "(b)", &has);
    g_variant_unref(r);
    return has;
  }

 private:
  static void OnCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                     GDBusMethodInvocation* invocation, gpointer self) {
    const gchar* service = nullptr;
    g_variant_get(parameters, "(&s)", &service);
    static_cast<FakeWatcher*>(self)->items_.push_back(service);
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }

  GDBusConnection* conn_ = nullptr;
  guint registration_ = 0;
  guint owner_ = 0;
  bool owned_ = false;
  std::vector<std::string> items_;
};

std::vector<LPARAM> TrayEvents(const RecordingWnd& w) {
  std::vector<LPARAM> events;
  for (const auto& r : w.log) {
    if (r.msg == kTrayMessage && r.wParam == 103) events.push_back(r.lParam);
  }
  return events;
}

// Whether the stand-in (a shown window titled with the tip) is on the screen.
bool StandInShown(const std::string& tip) {
  bool shown = false;
  GList* all = gtk_window_list_toplevels();
  for (GList* w = all; w; w = w->next) {
    const gchar* title = gtk_window_get_title(GTK_WINDOW(w->data));
    shown |= title && tip == title && gtk_widget_get_visible(GTK_WIDGET(w->data));
  }
  g_list_free(all);
  return shown;
}

}  // namespace

TEST(RealTray, FollowsAPanelThatRestartsAndStaysAwayOnceRemoved) {
  ASSERT_FALSE(toolkit::Dispatcher::Instance().GetBackend().IsHeadless()) << "no display";
  PrivateSessionBus bus;
  ASSERT_TRUE(bus.Up()) << "no dbus-daemon to run a session bus";
  auto watcher = std::make_unique<FakeWatcher>(bus.Address());
  ASSERT_TRUE(PumpUntil([&] { return watcher->Owned(); }));
  if (!watcher->HasOwner(bus.SessionName())) GTEST_SKIP() << "this process was already on another session bus";

  RecordingWnd main;
  ASSERT_TRUE(main.Create(nullptr, "tray owner", WS_POPUP, 0, 0, 0, 10, 10));
  const std::string tip = "Vymera同步软件";
  auto tray = toolkit::TrayIcon::Create(main, kTrayMessage, 103, "", tip);
  ASSERT_TRUE(tray);
  EXPECT_EQ(tray->GetMode(), Mode::StatusNotifier);
  ASSERT_TRUE(PumpUntil([&] { return watcher->Items().size() == 1; }));
  const std::string item = watcher->Items()[0];
  EXPECT_FALSE(StandInShown(tip));

  watcher->Click(item, "Activate");
  watcher->Click(item, "ContextMenu");
  ASSERT_TRUE(PumpUntil([&] { return TrayEvents(main).size() == 3; }));
  EXPECT_EQ(TrayEvents(main), (std::vector<LPARAM>{WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP}));

  // The panel restarts: the stand-in covers the gap, and the new watcher is told of the item.
  watcher.reset();
  EXPECT_TRUE(PumpUntil([&] { return tray->GetMode() == Mode::StandIn && StandInShown(tip); }));
  watcher = std::make_unique<FakeWatcher>(bus.Address());
  EXPECT_TRUE(PumpUntil([&] { return watcher->Items().size() == 1 && tray->GetMode() == Mode::StatusNotifier; }));
  EXPECT_EQ(watcher->Items(), std::vector<std::string>{item});
  EXPECT_TRUE(PumpUntil([&] { return !StandInShown(tip); }));

  // Removed: the item's name goes, the next panel is not told of it, and clicks stop.
  EXPECT_TRUE(tray->Remove());
  EXPECT_TRUE(PumpUntil([&] { return !watcher->HasOwner(item); }));
  watcher = std::make_unique<FakeWatcher>(bus.Address());
  ASSERT_TRUE(PumpUntil([&] { return watcher->Owned(); }));
  watcher->Click(item, "Activate");
  EXPECT_FALSE(
      PumpUntil([&] { return !watcher->Items().empty() || StandInShown(tip); }, std::chrono::milliseconds(300)));
  EXPECT_EQ(TrayEvents(main).size(), 3u);

  tray.reset();
  watcher.reset();
  DestroyWindow(main);
}
