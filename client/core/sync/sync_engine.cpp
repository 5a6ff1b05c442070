#include "client/core/sync/sync_engine.h"

#include <cmath>
#include <vector>

#include "client/core/devices/local_time.h"
#include "client/core/sync/sync_devices.h"
#include "client/core/sync/sync_rules.h"

namespace {

size_t IndexOf(DeviceKind kind) { return static_cast<size_t>(kind); }

}  // namespace

// Holds the running flag for one pass, so that every way out of the pass clears it.
class SyncEngine::PassRun {
 public:
  explicit PassRun(SyncEngine& engine) : engine_(engine) { engine_.running_ = true; }
  ~PassRun() {
    engine_.running_ = false;
    engine_.dialogOpen_ = false;
    engine_.stopRequested_ = false;
  }
  PassRun(const PassRun&) = delete;
  PassRun& operator=(const PassRun&) = delete;

 private:
  SyncEngine& engine_;
};

SyncEngine::SyncEngine(UserList& users, HeldWeights& held, SyncDevices devices, SyncServices services)
    : users_(users),
      held_(held),
      services_(services),
      kinds_{std::make_unique<PedometerDevice>(*this, devices.pedometer),
             std::make_unique<TrackerDevice>(*this, devices.kit), std::make_unique<ScaleDevice>(*this, devices.scale)} {}

SyncEngine::~SyncEngine() = default;

std::string SyncEngine::Now() const { return LastSyncText(LocalFields(services_.clock.Now())); }

// Each device is asked once per tick, however many users have it bound: the answers cannot differ
// within one tick, and an idle client should not enumerate the bus twelve times every two seconds.
struct SyncEngine::Probe {
  std::optional<bool> found;
  std::string code;
  bool clockChecked = false;
};

void SyncEngine::DetectionTick() {
  std::array<Probe, kDeviceKinds> probes;
  for (size_t i = 0; i < users_.size(); ++i) {
    for (const auto& device : kinds_) Detect(*device, *users_[i], probes[IndexOf(device->Kind())]);
  }
  services_.frame.RefreshHardwarePanel();
}

void SyncEngine::Detect(Device& device, UserRecord& u, Probe& probe) {
  DeviceSlot& slot = u.Slot(device.Kind());
  if (!slot.bound) return;
  slot.connected = false;
  if (!probe.found) {
    probe.found = device.Find(probe.code);
    if (!*probe.found) ++departures_[IndexOf(device.Kind())];
  }
  if (!*probe.found) {
    slot.syncState = slot.readBefore = false;
    return;
  }
  if (probe.code.empty() || probe.code != slot.serial) return;
  slot.connected = true;
  if (!probe.clockChecked) device.CheckClock();
  probe.clockChecked = true;
}

int SyncEngine::AssignPendingWeights() {
  std::vector<WeightRecord> offered = held_.Pending().TakeNewestFirst();
  held_.Offer(offered);
  int taken = 0;
  for (WeightRecord& reading : offered) {
    UserRecord* taker = nullptr;
    for (auto& user : users_) {
      if (Ready(*user, DeviceKind::Scale) && std::fabs(reading.weight - user->standardweight) < user->weightscope + 0.1f) {
        taker = user.get();
        break;
      }
    }
    if (taker) {
      history_->WeightHeld(*taker, reading);
      taker->datalist.push_back(std::move(reading));
      ++taken;
    } else {
      // No user is ready for it: it waits in the unassigned list for the user to give it to one.
      held_.AddUnassigned(std::move(reading));
    }
  }
  if (!offered.empty() || held_.Unsettled()) KeepHandedOver();
  return taken;
}

void SyncEngine::KeepHandedOver() {
  // The user file first: until it holds the readings, the held file keeps them as they were.
  if (held_.Unsettled() && services_.keeping.StoreUsers()) {
    held_.Settle();
  } else {
    held_.Save();
  }
}

void SyncEngine::SyncPass() {
  if (running_) return;
  PassRun run(*this);
  std::time_t now = services_.clock.Now();

  // New items (readings just taken, devices not read since they were attached) start a pass at
  // once; items a failed pass left (unsent readings, days the service did not decide) wait out the
  // back-off, and go along with any pass that runs.
  int taken = AssignPendingWeights();
  int freshDays = 0;
  for (const auto& user : users_) {
    for (const auto& device : kinds_) freshDays += device->FreshItems(*user);
  }
  bool fresh = taken + freshDays > 0;
  if (!fresh && !retry_.Due(now)) return;
  int total = freshDays;
  // The readings just taken are among the scale's carried items: the unsent ones.
  for (const auto& user : users_) {
    for (const auto& device : kinds_) total += device->CarriedItems(*user);
  }
  if (total == 0) return;

  // A retry while the service keeps failing is shown only when it gets through: the user was told
  // of the failure once, and a window every ten minutes would tell nothing new.
  quiet_ = !fresh && retry_.Failing();
  dialogOpen_ = !quiet_ && services_.settings.ShowUpdateWindow && services_.frame.MainWindowShownNormal() &&
                services_.notifier.OpenProgressDialog(total);
  services_.pacer.PumpMessages();

  unsettled_ = false;
  for (size_t i = 0; i < users_.size() && !stopRequested_; ++i) {
    UserRecord& u = *users_[i];
    for (const auto& device : kinds_) {
      if (stopRequested_) break;
      if (device->StepRuns(u) && !RunStep(u, *device)) return Finish(false, total);
    }
  }
  if (!stopRequested_) Finish(true, total);
}

bool SyncEngine::RunStep(UserRecord& u, Device& device) {
  DeviceKind kind = device.Kind();
  uint64_t departures = departures_[IndexOf(kind)];
  StepEnd end = device.Upload(u);
  DeviceSlot& slot = u.Slot(kind);
  slot.readBefore = true;
  if (end == StepEnd::Failed) return false;
  // Days the service did not decide stay on the device, which is read again after the back-off.
  if (end == StepEnd::Unsettled) unsettled_ = true;
  // A tick during the step may have found the device gone (and back): that is a new attachment,
  // which the next pass reads.
  if (end == StepEnd::Done && slot.connected && departures == departures_[IndexOf(kind)]) slot.syncState = true;
  return true;
}

void SyncEngine::Finish(bool ok, int total) {
  // What went up is marked in the user file at once: a client ended now does not send it again.
  services_.keeping.StoreUsers();
  if (ok && !unsettled_) {
    retry_.Succeeded();
  } else {
    retry_.Failed(services_.clock.Now());
  }
  if (dialogOpen_) {
    services_.notifier.PostToProgressDialog(ok ? SyncNotifier::kPassFinished : SyncNotifier::kPassFailed);
  } else if (!ok && quiet_) {
    return;
  } else if (!ok) {
    services_.notifier.ShowAlert("uploadfail");
  } else if (total >= 1) {
    services_.notifier.ShowAlert("uploadsuccess");
  }
}

void SyncEngine::ItemUploaded() {
  if (dialogOpen_) services_.notifier.PostToProgressDialog(SyncNotifier::kItemUploaded);
}

DayAnswer SyncEngine::AnswerDay(UserRecord& u, std::unique_ptr<XmlDocument> answer) {
  std::string message;
  DayAnswer outcome = ClassifyDayAnswer(answer.get(), &message);
  if (CountsAsUploaded(outcome)) {
    ++u.uploadedThisPass;
    ItemUploaded();
    services_.pacer.PumpMessages();
  } else if (outcome == DayAnswer::Refused) {
    services_.notifier.ShowMessageBox(message, "数据传输错误");
  } else if (outcome == DayAnswer::Unknown) {
    services_.notifier.ShowMessageBox("数据传输错误未知错误", "错误");
  }
  return outcome;
}
