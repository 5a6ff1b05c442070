// Cost of one detection tick with four users, each with a pedometer, a scale and a tracker bound:
// on this machine's HID host (no devices present) and on the simulators (all three attached); and of
// one sync-pass round of an idle client, every attached device already read, nothing new to send.
//
//   detection_tick_bench                      Google Benchmark run of both
//   detection_tick_bench --ticks=N system|sim runs N ticks and exits, to count system calls with
//                                             strace -c -f

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "client/core/sync/sync_engine.h"
#include "kit/simulated_tracker.h"
#include "platform/hid/hid_host.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_pedometer.h"
#include "sim/sim_scale.h"

namespace {

constexpr uint32_t kPedometerId = 20240601;
constexpr int64_t kTrackerId = 8800123456789LL;

class NoUploads final : public SyncUploads {
 public:
  std::unique_ptr<XmlDocument> UploadWeight(const UserRecord&, std::string_view, std::string_view, float) override {
    return nullptr;
  }
  std::unique_ptr<XmlDocument> UploadPedometerDay(const UserRecord&, const PedometerDay&) override { return nullptr; }
  std::unique_ptr<XmlDocument> UploadPace700Day(const UserRecord&, std::string_view, std::string_view,
                                                std::string_view) override {
    return nullptr;
  }
};
class Quiet final : public SyncNotifier, public FrameState, public PassPacer, public UserKeeping {
 public:
  bool StoreUsers() override { return true; }
  bool OpenProgressDialog(int) override { return false; }
  void PostToProgressDialog(unsigned) override {}
  void ShowAlert(std::string_view) override {}
  void ShowMessageBox(std::string_view, std::string_view) override {}
  bool MainWindowShownNormal() const override { return true; }
  void RefreshHardwarePanel() override {}
  void Wait(int) override {}
  void PumpMessages() override {}
};

// A client core with four fully bound users over the given host.
struct Client {
  explicit Client(platform::HidHost& host) : hid(host, clock), scale(host, clock) {
    kit.SetSercetKey(604237);
    for (int i = 0; i < 4; ++i) {
      auto u = std::make_unique<UserRecord>();
      u->uid = std::to_string(i + 1);
      u->Slot(DeviceKind::Scale) = {"W15A0031C7", "", false, true, false};
      u->Slot(DeviceKind::Pedometer) = {CHIDClass::IdText(kPedometerId), "", false, true, false};
      u->Slot(DeviceKind::Pace700) = {std::to_string(kTrackerId), "", false, true, false};
      users.push_back(std::move(u));
    }
  }
  SystemWallClock clock;
  CHIDClass hid;
  ScaleLink scale;
  CPace700Kit kit;
  UserList users;
  PendingWeights pending;
  HeldWeights held{pending, "/dev/null/unassigned.xml"};
  NoUploads uploads;
  Quiet quiet;
  SettingsStore settings;
  SyncEngine engine{users, held, {hid, scale, kit}, {uploads, quiet, quiet, quiet, quiet, clock, settings}};
};

struct SimBus {
  sim::SimHidHost host;
  SimBus() {
    auto pedometer = std::make_shared<sim::SimPedometer>(kPedometerId);
    std::tm now{};
    std::time_t t = std::time(nullptr);
    localtime_r(&t, &now);
    pedometer->SetClock(now);
    host.Attach(std::make_shared<sim::SimScale>("5A0031C7", 0));
    host.Attach(std::make_shared<sim::SimScale>("5A0031C7", 3));
    host.Attach(pedometer);
    SimulatedTracker::Instance().Reset();
    SimulatedTracker::Instance().Attach(kTrackerId);
  }
  ~SimBus() { SimulatedTracker::Instance().Reset(); }
};

void BM_DetectionTick_SystemHost(benchmark::State& state) {
  SimulatedTracker::Instance().Reset();
  auto host = platform::MakeSystemHidHost();
  Client client(*host);
  for (auto _ : state) client.engine.DetectionTick();
}
BENCHMARK(BM_DetectionTick_SystemHost)->Unit(benchmark::kMicrosecond);

void BM_DetectionTick_Simulators(benchmark::State& state) {
  SimBus bus;
  Client client(bus.host);
  for (auto _ : state) client.engine.DetectionTick();
  if (!client.users[0]->Slot(DeviceKind::Pedometer).connected) state.SkipWithError("pedometer not detected");
}
BENCHMARK(BM_DetectionTick_Simulators)->Unit(benchmark::kMicrosecond);

void BM_IdleSyncPass_Simulators(benchmark::State& state) {
  SimBus bus;
  Client client(bus.host);
  client.engine.DetectionTick();
  for (auto& u : client.users) {
    for (auto& slot : u->devices) slot.syncState = slot.connected;
  }
  for (auto _ : state) client.engine.SyncPass();
  if (!client.users[0]->Slot(DeviceKind::Scale).connected) state.SkipWithError("scale not detected");
}
BENCHMARK(BM_IdleSyncPass_Simulators)->Unit(benchmark::kMicrosecond);

int RunTicks(int ticks, const std::string& which) {
  if (which == "sim") {
    SimBus bus;
    Client client(bus.host);
    for (int i = 0; i < ticks; ++i) client.engine.DetectionTick();
    return client.users[0]->Slot(DeviceKind::Pedometer).connected ? 0 : 1;
  }
  SimulatedTracker::Instance().Reset();
  auto host = platform::MakeSystemHidHost();
  Client client(*host);
  for (int i = 0; i < ticks; ++i) client.engine.DetectionTick();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strncmp(argv[1], "--ticks=", 8) == 0) return RunTicks(std::atoi(argv[1] + 8), argv[2]);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
