// The sync core under faults, pass after pass: the real client core with the simulated scale and
// pedometer, the reference service behind a proxy that spoils exchanges, and faults of the machine
// around them. At the end every reading weighed must be at the service exactly once or still held
// by the client, and every pedometer day at the service once or still on the pedometer.
//
//   sync_soak [PASSES [SEED]]    prints the seed first, so that a failing run can be replayed
//
// Exit 0 when nothing was lost or doubled, 1 otherwise, 2 when the rig could not be set up.

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <cinttypes>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "client/core/app/client_core.h"
#include "client/core/devices/local_time.h"
#include "client/core/devices/tests/fakes.h"
#include "client/core/users/user_store.h"
#include "platform/file_io.h"
#include "platform/number_text.h"
#include "platform/paths.h"
#include "testing/temp_folder.h"
#include "service/store/password_hash.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_pedometer.h"
#include "sim/sim_scale.h"
#include "tests/soak/fault_proxy.h"
#include "tests/soak/soak_rig.h"

namespace soak {
namespace {

// Short enough that a slow answer costs little real time; the proxy holds one back longer.
constexpr int kTimeoutMs = 300;
constexpr int kSlowMs = 600;
constexpr uint32_t kScaleDeviceId = 0x00C0FFEE;
constexpr const char* kScaleSerial = "5A0031C7";
constexpr uint32_t kPedometerId = 20240601;
constexpr int kHealingPasses = 12;

enum MachineFault { kServiceKilled, kScaleUnplugged, kPedometerUnplugged, kDiskFull, kTornDown, kMachineFaults };
constexpr std::array<const char*, kMachineFaults> kMachineFaultNames = {
    "service killed and restarted", "scale unplugged mid-pass", "pedometer unplugged mid-pass",
    "disk full during a store", "client core torn down mid-pass"};

// A reading as the service keys it: the date text and the weight in tenths of a kilogram.
struct Reading {
  std::string date;
  int tenths = 0;
  auto operator<=>(const Reading&) const = default;
};

int Tenths(float kg) { return static_cast<int>(std::lround(kg * 10.0f)); }

std::string DayKey(int year, int month, int day) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

int FromBcd(uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }

// The disk fills while this lives: a file may grow to a random part of the user file's size and
// no further, so that a write of the user file (or of anything as large) fails partway. The limit is
// the process's, so the service's database in this process meets it too.
class DiskFull {
 public:
  DiskFull(const std::string& userFile, std::mt19937_64& rng) {
    auto bytes = platform::ReadWholeFile(userFile);
    uint64_t size = bytes ? bytes->size() : 0;
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit full{static_cast<rlim_t>(size ? rng() % size : 0), old_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &full);
  }
  ~DiskFull() { setrlimit(RLIMIT_FSIZE, &old_); }
  DiskFull(const DiskFull&) = delete;
  DiskFull& operator=(const DiskFull&) = delete;

 private:
  rlimit old_{};
};

// The client's files as they stood at one moment, to be put back as they were: what a core that
// ends at that moment leaves behind.
class FilesAtCrash {
 public:
  void Take(const std::string& folder) {
    for (const char* name : {UserStore::kFileName, HeldWeights::kFileName})
      files_[name] = platform::ReadWholeFile(folder + "/" + name);
  }
  void PutBack(const std::string& folder) const {
    for (const auto& [name, bytes] : files_) {
      std::string path = folder + "/" + name;
      if (bytes) {
        platform::WriteFileAtomically(path, *bytes, platform::FileAccess::OwnerOnly);
      } else {
        std::remove(path.c_str());
      }
    }
  }

 private:
  std::map<std::string, std::optional<std::string>> files_;
};

// One run of the client: its core over the program folder's files, and the main window its scale
// reader posts to (declared first, so it outlives the core's reader thread).
struct ClientRun {
  ClientRun(const std::string& folder, platform::HidHost& host, SoakClock& clock, SoakPorts& ports,
            const std::string& endpoint)
      : core(folder, host, clock, {ports, ports, ports}, endpoint) {
    core.scale.SetFrameTarget(&window);
    core.LoadUsers();
    core.api.SetTimeoutMs(kTimeoutMs);
  }
  // The main window's side: decodes every frame the reader has posted.
  void HandleFrames() {
    for (size_t posted = window.Messages().size(); handled < posted; ++handled)
      core.scale.HandleFrameMessage(core.pending, nullptr);
  }

  testing_support::RecordingTarget window;
  ClientCore core;
  size_t handled = 0;
};

class Soak {
 public:
  Soak(int passes, uint64_t seed) : passes_(passes), rng_(seed), proxy_(seed ^ 0x5eed), ports_(clock_) {}

  int Run() {
    std::string error;
    if (!SetUp(error)) {
      std::fprintf(stderr, "sync_soak: %s\n", error.c_str());
      return 2;
    }
    for (int pass = 0; pass < passes_; ++pass) Pass(pass);
    Heal();
    return Tally();
  }

 private:
  bool Chance(double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p; }
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

  bool SetUp(std::string& error) {
    std::signal(SIGXFSZ, SIG_IGN);  // a write past the file size limit fails instead of ending us
    program_ = folder_.File("prog");
    if (!platform::EnsureFolder(program_) || !proxy_.Listening()) {
      error = "no program folder or no proxy";
      return false;
    }
    if (!service_.Start(error)) return false;
    // The soak's logins must answer within the client's short time-out, whatever the machine's
    // load: its one account needs no strength.
    service::SetPasswordCost({64, 1});
    service::Account account;
    account.account = "soak@example.com";
    account.passwordHash = service::HashPassword("soak123");
    account.uname = "soak";
    auto uid = service_.Data().accounts.Create(account);
    if (!uid) {
      error = "no account";
      return false;
    }
    uid_ = *uid;
    proxy_.SetUpstream(service_.Port());
    proxy_.SetSlowMs(kSlowMs);

    // One user with the scale bound, whose range takes every reading the soak weighs.
    UserRecord user;
    user.uid = std::to_string(uid_);
    user.account = account.account;
    user.uname = account.uname;
    user.password = "soak123";
    user.standardweight = 70.0f;
    user.weightscope = 20.0f;
    user.Slot(DeviceKind::Scale) = {"W1" + std::string(kScaleSerial), "", false, true, false};
    user.Slot(DeviceKind::Pedometer) = {CHIDClass::IdText(kPedometerId), "", false, true, false};
    std::string userFile = program_ + "/" + UserStore::kFileName;
    if (!UserStore::CreateIfMissing(userFile) || !UserStore::StoreOne(user, userFile, false)) {
      error = "no user file";
      return false;
    }
    host_.Attach(scale_);
    host_.Attach(pedometer_);
    StartClient();
    return true;
  }

  void StartClient() {
    client_ = std::make_unique<ClientRun>(program_, host_, clock_, ports_, proxy_.Endpoint());
    client_->core.engine.DetectionTick();
  }

  void KillService(int passes) {
    service_.Kill();
    proxy_.SetUpstream(0);
    downPasses_ = passes;
    ++faults_[kServiceKilled];
  }
  void StartService() {
    std::string error;
    if (!service_.Start(error)) std::fprintf(stderr, "sync_soak: the service did not start again: %s\n", error.c_str());
    proxy_.SetUpstream(service_.Port());
  }

  // Steps on the scale count times with readings not weighed before on this date.
  void Weigh(int count) {
    for (int i = 0; i < count && scale_->Plugged(); ++i) {
      std::string date = DateText(LocalFields(clock_.Now()));
      Reading reading{date, Between(600, 799)};
      if (!used_.insert(reading).second) continue;
      size_t posted = client_->window.Messages().size();
      scale_->SendLive(kScaleDeviceId, static_cast<float>(reading.tenths) / 10.0f);
      if (!client_->window.WaitFor(posted + 1)) {
        std::fprintf(stderr, "sync_soak: a reading never reached the client\n");
        continue;
      }
      size_t before = client_->core.pending.Size();
      client_->HandleFrames();
      if (client_->core.pending.Size() == before + 1) {
        const WeightRecord& taken = client_->core.pending.Readings().back();
        weighed_.push_back({taken.time, Tenths(taken.weight)});
      } else {
        ++refusedByFullList_;  // not acknowledged: the scale keeps it
      }
    }
  }

  // The pedometer is taken off, counts a day or two and is put back: a new attachment, read whole.
  void WalkDays(int count) {
    pedometer_->Unplug();
    client_->core.engine.DetectionTick();
    for (int i = 0; i < count; ++i) {
      std::tm f = LocalFields(nextWalk_);
      if (!pedometer_->AddDay(f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, static_cast<uint8_t>(Between(0, 255)))) break;
      walked_.push_back(DayKey(f.tm_year + 1900, f.tm_mon + 1, f.tm_mday));
      nextWalk_ += 24 * 3600;
    }
    pedometer_->Plug();
  }

  void Pass(int pass) {
    clock_.AdvanceMs(Between(600, 1200) * 1000LL);
    if (!service_.Up() && --downPasses_ <= 0) StartService();
    if (service_.Up() && Chance(0.03)) KillService(Between(1, 3));
    proxy_.SetFaultRate(Chance(0.4) ? 0.5 : 0.0);
    if (!scale_->Plugged() && Chance(0.7)) scale_->Plug();
    if (!pedometer_->Plugged() && Chance(0.7)) pedometer_->Plug();
    if (Chance(0.25)) WalkDays(Between(1, 2));

    ClientCore& core = client_->core;
    core.engine.DetectionTick();
    client_->HandleFrames();
    Weigh(Between(0, 3));

    int pump = 0;
    int unplugAt = Chance(0.08) ? Between(1, 3) : -1;
    int pullPedometerAt = Chance(0.06) ? Between(1, 3) : -1;
    int killAt = Chance(0.02) ? Between(1, 3) : -1;
    int tearDownAt = Chance(0.1) ? Between(1, 3) : -1;
    bool tornDown = false;
    FilesAtCrash crash;
    ports_.onPump = [&] {
      if (tornDown) return;  // the core is gone: nothing of it runs any more
      ++pump;
      client_->HandleFrames();
      if (pump == unplugAt && scale_->Plugged()) {
        scale_->Unplug();
        ++faults_[kScaleUnplugged];
      }
      if (pump == pullPedometerAt && pedometer_->Plugged()) {
        pedometer_->Unplug();
        ++faults_[kPedometerUnplugged];
      }
      if (pump == killAt && service_.Up()) KillService(Between(1, 2));
      if (pump == tearDownAt) {
        // The core goes here: its files stand as they are now. The engine is stopped after the
        // item it is on, and what it writes meanwhile is undone, as if it had never run.
        crash.Take(program_);
        core.engine.RequestStop();
        tornDown = true;
      }
    };
    ports_.alerted = false;
    {
      // Now and then the disk is full for a whole pass: the pass's own stores fail too.
      std::unique_ptr<DiskFull> full;
      if (Chance(0.04)) {
        ++faults_[kDiskFull];
        full = std::make_unique<DiskFull>(core.UserFile(), rng_);
      }
      core.engine.SyncPass();
    }
    ports_.onPump = nullptr;
    if (tornDown) {
      ++faults_[kTornDown];
      TearDown(pass, crash);
      return;
    }
    client_->HandleFrames();
    // The pass's alert stores the users, as the client's alert window does.
    if (ports_.alerted) Store(Chance(0.08));
  }

  void Store(bool diskFull) {
    if (!diskFull) {
      client_->core.StoreEveryUser();
      return;
    }
    ++faults_[kDiskFull];
    DiskFull full(client_->core.UserFile(), rng_);
    if (!client_->core.StoreEveryUser()) ++failedStores_;
  }

  // Every fault ends; the client runs on for a while and then quits in order.
  void Heal() {
    proxy_.SetFaultRate(0.0);
    if (!service_.Up()) StartService();
    if (!scale_->Plugged()) scale_->Plug();
    if (!pedometer_->Plugged()) pedometer_->Plug();
    for (int pass = 0; pass < kHealingPasses; ++pass) {
      clock_.AdvanceMs(15 * 60 * 1000LL);
      client_->core.engine.DetectionTick();
      ports_.alerted = false;
      client_->core.engine.SyncPass();
      if (ports_.alerted) Store(false);
    }
    client_->core.StoreAllUsers();
    client_.reset();
  }

  // The rows at the service by reading, read from its database file whether it runs or not.
  std::map<Reading, int> ServiceRows() {
    std::map<Reading, int> rows;
    service::Database database;
    if (!database.Open(folder_.File("service.db"))) return rows;
    service::UploadStore uploads(database);
    for (const auto& row : uploads.WeightsOf(uid_)) ++rows[{row.day, row.weightTenths}];
    return rows;
  }
  // The pedometer days at the service, by date.
  std::vector<std::string> ServiceDays() {
    std::vector<std::string> days;
    service::Database database;
    if (!database.Open(folder_.File("service.db"))) return days;
    for (const auto& row : service::UploadStore(database).DaysOf(uid_))
      if (row.kind == service::DeviceKind::Pedometer) days.push_back(row.day);
    return days;
  }

  // The readings the client's files hold: not yet sent in a user's list, or held outside every
  // user's list (waiting for a pass, or unassigned).
  struct Held {
    std::multiset<Reading> unsent;
    std::multiset<Reading> unassigned;
    bool Has(const Reading& r) const { return unsent.count(r) || unassigned.count(r); }
  };
  Held HeldInFiles() {
    Held held;
    UserList users = UserStore::LoadAll(program_ + "/" + UserStore::kFileName);
    for (const auto& user : users) {
      for (const WeightRecord& w : user->datalist)
        if (!w.uploaded) held.unsent.insert({w.time, Tenths(w.weight)});
    }
    PendingWeights pending;
    HeldWeights outside(pending, program_ + "/" + HeldWeights::kFileName);
    outside.Load(users);
    for (const WeightRecord& w : pending.Readings()) held.unassigned.insert({w.time, Tenths(w.weight)});
    for (const WeightRecord& w : outside.Unassigned()) held.unassigned.insert({w.time, Tenths(w.weight)});
    return held;
  }

  // Tears the core down and starts it again from its files; a reading that neither the service nor
  // the files hold now went with the core, and is noted with where the core kept it.
  void TearDown(int pass, const FilesAtCrash& crash) {
    std::map<Reading, std::string> keptIn;
    for (const WeightRecord& w : client_->core.pending.Readings()) keptIn[{w.time, Tenths(w.weight)}] = "the pending list";
    for (const WeightRecord& w : client_->core.held.Unassigned()) keptIn[{w.time, Tenths(w.weight)}] = "the unassigned list";
    for (const auto& user : client_->core.users) {
      for (const WeightRecord& w : user->datalist) {
        keptIn[{w.time, Tenths(w.weight)}] = w.uploaded ? "a user's list, marked sent" : "a user's list, not yet stored";
      }
    }
    client_.reset();
    crash.PutBack(program_);
    StartClient();
    std::map<Reading, int> rows = ServiceRows();
    Held held = HeldInFiles();
    for (const Reading& r : weighed_) {
      if (rows.count(r) || held.Has(r) || goneAt_.count(r)) continue;
      auto where = keptIn.find(r);
      goneAt_[r] = "torn down at pass " + std::to_string(pass) + " with it in " +
                   (where == keptIn.end() ? std::string("no list") : where->second);
    }
  }

  int Tally() {
    std::map<Reading, int> rows = ServiceRows();
    Held files = HeldInFiles();
    uint64_t stored = 0, unsent = 0, unassigned = 0, lost = 0, doubled = 0;
    for (const Reading& r : weighed_) {
      int count = rows.count(r) ? rows[r] : 0;
      if (count > 1) ++doubled;
      if (count >= 1) {
        ++stored;
      } else if (files.unsent.count(r)) {
        ++unsent;
      } else if (files.unassigned.count(r)) {
        ++unassigned;
      } else {
        ++lost;
        auto gone = goneAt_.find(r);
        std::printf("lost: %s %s kg (%s)\n", r.date.c_str(), platform::FixedText(r.tenths / 10.0, 1).c_str(),
                    gone == goneAt_.end() ? "not seen going" : gone->second.c_str());
      }
    }
    uint64_t strangers = 0;
    std::set<Reading> known(weighed_.begin(), weighed_.end());
    for (const auto& [reading, count] : rows) strangers += known.count(reading) ? 0 : count;

    // Pedometer days: at the service once, or still on the pedometer.
    std::map<std::string, int> dayRows;
    for (const auto& row : ServiceDays()) ++dayRows[row];
    std::set<std::string> onDevice;
    for (int n = 0; n < pedometer_->DayCount(); ++n) {
      auto block = pedometer_->Block(n);
      onDevice.insert(DayKey(2000 + FromBcd(block[0]), FromBcd(block[1]), FromBcd(block[2])));
    }
    uint64_t daysStored = 0, daysHeld = 0, daysLost = 0, daysDoubled = 0;
    for (const std::string& day : walked_) {
      int count = dayRows.count(day) ? dayRows[day] : 0;
      if (count > 1) ++daysDoubled;
      if (count >= 1) {
        ++daysStored;
      } else if (onDevice.count(day)) {
        ++daysHeld;
      } else {
        ++daysLost;
        std::printf("lost: the pedometer day %s\n", day.c_str());
      }
    }

    std::printf("passes: %d\n", passes_);
    std::printf("faults:\n");
    auto net = proxy_.Faults();
    for (size_t k = 1; k < net.size(); ++k) std::printf("  %-34s %" PRIu64 "\n", kNetFaultNames[k], net[k]);
    for (size_t k = 0; k < faults_.size(); ++k) std::printf("  %-34s %" PRIu64 "\n", kMachineFaultNames[k], faults_[k]);
    std::printf("exchanges through the proxy: %" PRIu64 ", stores the full disk failed: %" PRIu64 "\n",
                proxy_.Exchanges(), failedStores_);
    std::printf("readings weighed: %zu\n", weighed_.size());
    std::printf("stored at the service: %" PRIu64 "\n", stored);
    std::printf("held by the client: %" PRIu64 " (unsent %" PRIu64 ", unassigned %" PRIu64 ")\n", unsent + unassigned,
                unsent, unassigned);
    std::printf("lost: %" PRIu64 "\n", lost);
    std::printf("doubled: %" PRIu64 "\n", doubled);
    std::printf("pedometer days walked: %zu, stored: %" PRIu64 ", still on the pedometer: %" PRIu64 ", lost: %" PRIu64
                ", doubled: %" PRIu64 "\n",
                walked_.size(), daysStored, daysHeld, daysLost, daysDoubled);
    if (strangers) std::printf("rows at the service no one weighed: %" PRIu64 "\n", strangers);
    if (refusedByFullList_) std::printf("readings the client refused (kept by the scale): %" PRIu64 "\n", refusedByFullList_);
    return lost == 0 && doubled == 0 && strangers == 0 && daysLost == 0 && daysDoubled == 0 ? 0 : 1;
  }

  int passes_;
  std::mt19937_64 rng_;
  testing_support::TempFolder folder_;
  std::string program_;
  SoakService service_{folder_.File("service.db"), folder_.File("releases")};
  FaultProxy proxy_;
  SoakClock clock_{testing_support::FixedClock::LocalTime(2024, 5, 20, 7, 0, 0)};
  SoakPorts ports_;
  sim::SimHidHost host_;
  std::shared_ptr<sim::SimScale> scale_ = std::make_shared<sim::SimScale>(kScaleSerial, 3);
  std::shared_ptr<sim::SimPedometer> pedometer_ = std::make_shared<sim::SimPedometer>(kPedometerId);
  std::time_t nextWalk_ = testing_support::FixedClock::LocalTime(2023, 1, 1, 12, 0, 0);
  std::vector<std::string> walked_;
  std::unique_ptr<ClientRun> client_;
  int64_t uid_ = 0;
  int downPasses_ = 0;
  uint64_t refusedByFullList_ = 0;
  uint64_t failedStores_ = 0;
  std::vector<Reading> weighed_;
  std::set<Reading> used_;
  std::map<Reading, std::string> goneAt_;
  std::array<uint64_t, kMachineFaults> faults_{};
};

}  // namespace
}  // namespace soak

int main(int argc, char** argv) {
  int passes = argc > 1 ? std::atoi(argv[1]) : 200;
  uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : std::random_device{}();
  if (passes <= 0) {
    std::fprintf(stderr, "usage: sync_soak [PASSES [SEED]]\n");
    return 2;
  }
  std::printf("sync_soak: %d passes, seed %" PRIu64 " (replay: sync_soak %d %" PRIu64 ")\n", passes, seed, passes, seed);
  std::fflush(stdout);
  return soak::Soak(passes, seed).Run();
}
