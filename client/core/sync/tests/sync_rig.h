#pragma once
// A whole client core without windows for pass scenarios: the simulated scale and pedometer on a
// simulated bus, the simulated tracker, and a loopback web service that answers like the real one.

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>

#include "client/core/api/api_client.h"
#include "client/core/devices/tests/fakes.h"
#include "client/core/sync/api_sync_uploads.h"
#include "client/core/sync/sync_engine.h"
#include "client/core/sync/tests/sync_recorders.h"
#include "client/core/sync/user_changes.h"
#include "kit/simulated_tracker.h"
#include "platform/codepage.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_pedometer.h"
#include "sim/sim_scale.h"
#include "testing/loopback_server.h"
#include "testing/temp_folder.h"

namespace testing_support {

using Form = std::map<std::string, std::string>;

// The web service on 127.0.0.1: takes the client's form body as the service does (GBK, fields joined
// by "&", split at the first "="), records every request and answers through a test's rule.
class FakeService {
 public:
  // Answer body for a method and its form; an empty body means no usable answer at all.
  using Rule = std::function<std::string(const std::string& method, const Form& form)>;

  FakeService() {
    server_.server().Post("/", [this](const httplib::Request& req, httplib::Response& res) {
      Form form = ParseForm(req.body);
      std::string method = form["method"];
      Rule rule;
      int status = 200;
      {
        std::lock_guard lock(mutex_);
        requests_.push_back({method, form});
        rule = rule_;
        status = status_;
      }
      std::string body = rule ? rule(method, form) : DefaultAnswer(method);
      if (body.empty()) {
        // No usable answer: a status line no HTTP client accepts.
        res.status = 0;
        return;
      }
      res.status = status;
      res.set_content("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body, "text/xml; charset=utf-8");
    });
    // A service that does not come up fails the test here rather than as a hang or a puzzle later.
    EXPECT_GT(server_.Start(), 0) << "the fake web service did not start on loopback";
  }
  // The server stops before the rule and the records its handler uses go.
  ~FakeService() { server_.Stop(); }

  static Form ParseForm(const std::string& body) {
    Form form;
    std::string text = platform::FromCodePage(body);
    size_t start = 0;
    while (start <= text.size()) {
      size_t amp = text.find('&', start);
      std::string field = text.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
      size_t equals = field.find('=');
      if (equals != std::string::npos) form[field.substr(0, equals)] = field.substr(equals + 1);
      if (amp == std::string::npos) break;
      start = amp + 1;
    }
    return form;
  }

  std::string Endpoint() const { return server_.Url("/"); }

  static std::string DefaultAnswer(const std::string& method) {
    if (method == "scale.weight.up") return "<scaleup_res><msg>ok</msg></scaleup_res>";
    return "<pedup_res><msg>ok</msg></pedup_res>";
  }

  void SetRule(Rule rule) {
    std::lock_guard lock(mutex_);
    rule_ = std::move(rule);
  }
  // The HTTP status of every answer with a body.
  void SetStatus(int status) {
    std::lock_guard lock(mutex_);
    status_ = status;
  }
  std::vector<std::pair<std::string, Form>> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  std::vector<Form> Requests(const std::string& method) const {
    std::vector<Form> out;
    for (const auto& [m, f] : Requests())
      if (m == method) out.push_back(f);
    return out;
  }

 private:
  LoopbackServer server_;
  mutable std::mutex mutex_;
  Rule rule_;
  int status_ = 200;
  std::vector<std::pair<std::string, Form>> requests_;
};

// Stores the users in a real user file; a test may make every store fail, as a full disk does.
class FileKeeping final : public UserKeeping {
 public:
  FileKeeping(const UserList& users, std::string path) : users_(users), path_(std::move(path)) {
    UserStore::CreateIfMissing(path_);
  }
  bool StoreUsers() override {
    ++stores;
    if (failing) return false;
    bool all = true;
    for (const auto& user : users_) all = UserStore::StoreOne(*user, path_, false) && all;
    return all;
  }
  bool failing = false;
  int stores = 0;

 private:
  const UserList& users_;
  std::string path_;
};

inline constexpr uint32_t kScaleDeviceId = 0x00C0FFEE;
inline constexpr uint32_t kPedometerId = 20240601;
inline constexpr int64_t kTrackerId = 8800123456789LL;

struct SyncRig {
  FixedClock clock;
  sim::SimHidHost host;
  std::shared_ptr<sim::SimScale> scale = std::make_shared<sim::SimScale>("5A0031C7", 3);
  std::shared_ptr<sim::SimPedometer> pedometer = std::make_shared<sim::SimPedometer>(kPedometerId);
  SimulatedTracker& tracker = SimulatedTracker::Instance();
  CHIDClass hid{host, clock};
  ScaleLink scaleLink{host, clock};
  CPace700Kit kit;
  RecordingTarget window;
  TempFolder folder;
  PendingWeights pending;
  HeldWeights held{pending, folder.File(HeldWeights::kFileName)};
  UserList users;
  FileKeeping keeping{users, folder.File(UserStore::kFileName)};
  FakeService service;
  SettingsStore settings;
  ApiClient api{settings, "", service.Endpoint()};
  ApiSyncUploads uploads{api};
  RecordingNotifier notifier;
  FakeFrame frame;
  RecordingPacer pacer;
  SyncEngine engine{users, held, {hid, scaleLink, kit}, {uploads, keeping, notifier, frame, pacer, clock, settings}};
  UserChanges changes{users, engine, ""};
  size_t framesHandled = 0;

  SyncRig() {
    tracker.Reset();
    tracker.SetPcClock([this] { return clock.Now(); });
    kit.SetSercetKey(604237);
    scaleLink.SetFrameTarget(&window);
  }
  ~SyncRig() { tracker.Reset(); }

  void PlugScale() { host.Attach(scale); }
  void PlugPedometer() { host.Attach(pedometer); }
  void PlugTracker() { tracker.Attach(kTrackerId); }

  UserRecord& AddUser(const std::string& uid, float standardweight, bool withScale, bool step, bool pace) {
    auto u = std::make_unique<UserRecord>();
    u->uid = uid;
    u->uname = "用户" + uid;
    u->standardweight = standardweight;
    u->weightscope = 1.0f;
    u->weight = 65;
    u->height = 172;
    u->age = 30;
    u->stepvalue = 75;
    u->sex = 1;
    u->dailyGoal = 8000;
    u->pedometerGoal = 1300;
    u->goalUnit = 1;
    if (withScale) u->Slot(DeviceKind::Scale) = {"W15A0031C7", "", false, true, false};
    if (step) u->Slot(DeviceKind::Pedometer) = {CHIDClass::IdText(kPedometerId), "", false, true, false};
    if (pace) u->Slot(DeviceKind::Pace700) = {std::to_string(kTrackerId), "", false, true, false};
    users.push_back(std::move(u));
    return *users.back();
  }

  // One user with the pedometer bound, attached and holding days dated 2024-5-first, 2024-5-first+1,
  // ...; detected.
  UserRecord& PedometerUserWithDays(int count, int first = 19) {
    PlugPedometer();
    for (int i = 0; i < count; ++i) pedometer->AddDay(2024, 5, first + i);
    UserRecord& u = AddUser("1", 60, false, true, false);
    engine.DetectionTick();
    return u;
  }

  // The pedometer pulled out and put back, each seen by a detection tick: a new attachment.
  void ReattachPedometer() {
    pedometer->Unplug();
    engine.DetectionTick();
    pedometer->Plug();
    engine.DetectionTick();
  }

  // The main window's side of the scale reader: handles frame messages until count have come.
  void HandleFrames(size_t count) {
    ASSERT_TRUE(window.WaitFor(count));
    for (; framesHandled < count; ++framesHandled) scaleLink.HandleFrameMessage(pending, nullptr);
  }
};

}  // namespace testing_support
