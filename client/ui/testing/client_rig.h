#pragma once
// What the tests of the client's windows share: a program folder of its own, the reference web
// service on loopback over a fresh database, the simulated scale, pedometer and tracker, a client
// core over them, and helpers that drive modal dialogs headless by window name and control name.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "client/core/sync/tests/sync_recorders.h"
#include "client/ui/client_context.h"
#include "kit/simulated_tracker.h"
#include "testing/temp_folder.h"
#include "service/http_server.h"
#include "service/service_data.h"
#include "service/store/sqlite.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_pedometer.h"
#include "sim/sim_scale.h"
#include "toolkit/testing/headless_fixture.h"
#include "toolkit/ui.h"

namespace client_testing {

// The reference web service, as `vymera-service` runs it, on a free loopback port.
class ReferenceService {
 public:
  explicit ReferenceService(const std::string& folder);
  ~ReferenceService();
  bool ok() const { return ok_; }
  std::string Endpoint() const;
  // A new account; its uid (0 when it could not be made).
  int64_t AddAccount(const std::string& account, const std::string& password, const std::string& name = "测试用户");
  service::ServiceData& Data() { return *data_; }
  // Stops answering; Restart answers again on the same port.
  void Stop();
  bool Restart();

 private:
  bool ok_ = false;
  service::Database database_;
  std::unique_ptr<service::ServiceData> data_;
  std::unique_ptr<service::HttpServer> server_;
  int port_ = 1;
};

// The engine's view of the windows, recorded in one object; pumping runs the headless toolkit's
// pending messages.
class RecordingPorts final : public testing_support::RecordingNotifier,
                             public testing_support::FakeFrame,
                             public testing_support::RecordingPacer {
 public:
  RecordingPorts();
};

inline constexpr uint32_t kPedometerId = 20240601;
inline constexpr int64_t kTrackerId = 8800123456789LL;
inline constexpr const char* kScaleSerial = "5A0031C7";
inline constexpr const char* kMemberSite = "http://member.test/";
inline constexpr const char* kCompanySite = "http://company.test/";

class ClientTest : public toolkit_testing::HeadlessTest {
 protected:
  ClientTest();
  ~ClientTest() override;
  void SetUp() override;
  void TearDown() override;

  // A user of the service that the client holds: added to the service, to the list and, unless
  // stored is false, to the user file; logged in when loggedIn is set.
  UserRecord& AddUser(const std::string& account, const std::string& password, bool loggedIn = true,
                      bool stored = true);

  void PlugScale() { host.Attach(scale); }
  void PlugPedometer() { host.Attach(pedometer); }
  void PlugTracker() { tracker.Attach(kTrackerId); }

  // Runs action once, from inside the modal loop that is running, as soon as a window titled name
  // stands (a modal dialog the code under test opened). Returns at once; the action runs later.
  void WhenWindowStands(const std::string& name, std::function<void(HWND)> action);
  // The newest window titled name; null when none stands.
  static HWND WindowNamed(std::string_view name);
  // A control of any window; null when the window or the control is missing.
  static CControlUI* Control(HWND window, std::string_view name);
  static std::string Text(HWND window, std::string_view name);
  static bool Shown(HWND window, std::string_view name);
  static std::string BkImage(HWND window, std::string_view name);
  // The browser addresses opened so far.
  static std::vector<std::string> OpenedPages();
  // The file as it stands now.
  UserList StoredUsers() const { return UserStore::LoadAll(core->UserFile()); }

  testing_support::TempFolder folder;
  ReferenceService service{folder.File("service")};
  sim::SimHidHost host;
  std::shared_ptr<sim::SimScale> scale = std::make_shared<sim::SimScale>(kScaleSerial, 3);
  std::shared_ptr<sim::SimPedometer> pedometer = std::make_shared<sim::SimPedometer>(kPedometerId);
  SimulatedTracker& tracker = SimulatedTracker::Instance();
  SystemWallClock clock;
  RecordingPorts ports;
  std::unique_ptr<ClientCore> core;
  std::unique_ptr<ClientContext> context;

 private:
  std::vector<std::pair<std::string, std::function<void(HWND)>>> pending_;
};

}  // namespace client_testing
