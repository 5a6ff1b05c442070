#include "client/core/sync/sync_engine.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "client/core/devices/local_time.h"
#include "client/core/sync/sync_rules.h"

namespace {

constexpr size_t kDayMapChars = 30;

std::string TrackerIdText(int64_t id) {
  char text[32];
  std::snprintf(text, sizeof text, "%" PRId64, id);
  return text;
}

// The kit's day map, copied as the kit's text may change with its next call.
std::string DayMap(CPace700Kit& kit) {
  const char* map = kit.CkeckExsitDataDay();
  return map ? std::string(map, strnlen(map, kDayMapChars)) : std::string();
}

int MarkedDays(const std::string& map) { return static_cast<int>(std::count(map.begin(), map.end(), '1')); }

bool ClockOff(std::time_t device, std::time_t pc, int tolerance) {
  return device == -1 || std::llabs(static_cast<long long>(device - pc)) > tolerance;
}

// A bound device that detection found attached.
bool Ready(const UserRecord& u, DeviceKind kind) {
  const DeviceSlot& s = u.Slot(kind);
  return s.connected && s.bound;
}

// Attached and not yet read to its end by a pass since it was attached.
bool Due(const UserRecord& u, DeviceKind kind) { return Ready(u, kind) && !u.Slot(kind).syncState; }

// Read in this attachment already, with days left that the service has not decided.
bool Retrying(const UserRecord& u, DeviceKind kind) { return Due(u, kind) && u.Slot(kind).readBefore; }

int UnsentWeights(const UserRecord& u) {
  return static_cast<int>(std::count_if(u.datalist.begin(), u.datalist.end(), [](const WeightRecord& w) { return !w.uploaded; }));
}

// The scale's part runs while the scale is attached, and for the readings a user holds unsent
// whether or not it is: they go up with the scale's code the user is bound by, as they were taken
// already.
bool ScaleStepRuns(const UserRecord& u) {
  const DeviceSlot& scale = u.Slot(DeviceKind::Scale);
  return Ready(u, DeviceKind::Scale) || (scale.bound && !scale.serial.empty() && UnsentWeights(u) > 0);
}

// The devices whose memory holds days.
constexpr DeviceKind kDayDevices[] = {DeviceKind::Pedometer, DeviceKind::Pace700};

size_t IndexOf(DeviceKind kind) { return static_cast<size_t>(kind); }

std::string DayText(const PedometerDay& day) {
  return std::to_string(day.year) + "-" + std::to_string(day.month) + "-" + std::to_string(day.day);
}

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
    : users_(users), held_(held), devices_(devices), services_(services) {}

std::string SyncEngine::Now() const { return LastSyncText(LocalFields(services_.clock.Now())); }

// Each device is asked once per tick, however many users have it bound: the answers cannot differ
// within one tick, and an idle client should not enumerate the bus twelve times every two seconds.
struct SyncEngine::Probe {
  std::optional<bool> pedometerFound;
  std::string pedometerCode;
  bool pedometerClockChecked = false;
  std::optional<bool> trackerFound;
  int64_t trackerId = -1;
  bool trackerClockChecked = false;
  std::optional<bool> scaleFound;
  std::string scaleCode;
};

void SyncEngine::DetectionTick() {
  Probe probe;
  for (size_t i = 0; i < users_.size(); ++i) {
    UserRecord& u = *users_[i];

    DeviceSlot& step = u.Slot(DeviceKind::Pedometer);
    if (step.bound) {
      step.connected = false;
      if (!probe.pedometerFound) {
        probe.pedometerFound = devices_.pedometer.Open();
        if (*probe.pedometerFound && devices_.pedometer.ReadId()) {
          probe.pedometerCode = CHIDClass::IdText(devices_.pedometer.LastDeviceId());
        }
        if (!*probe.pedometerFound) ++departures_[IndexOf(DeviceKind::Pedometer)];
      }
      if (*probe.pedometerFound) {
        if (!probe.pedometerCode.empty() && probe.pedometerCode == step.serial) {
          step.connected = true;
          if (!probe.pedometerClockChecked) CheckPedometerClock();
          probe.pedometerClockChecked = true;
        }
      } else {
        step.syncState = step.readBefore = false;
      }
    }

    DeviceSlot& tracker = u.Slot(DeviceKind::Pace700);
    if (tracker.bound) {
      tracker.connected = false;
      if (!probe.trackerFound) {
        probe.trackerFound = devices_.kit.StepIsConnected();
        if (*probe.trackerFound) probe.trackerId = devices_.kit.GetDeviceID(false);
        if (!*probe.trackerFound) ++departures_[IndexOf(DeviceKind::Pace700)];
      }
      if (*probe.trackerFound) {
        if (probe.trackerId >= 0 && TrackerIdText(probe.trackerId) == tracker.serial) {
          tracker.connected = true;
          if (!probe.trackerClockChecked) CheckTrackerClock();
          probe.trackerClockChecked = true;
        }
      } else {
        tracker.syncState = tracker.readBefore = false;
      }
    }

    DeviceSlot& scale = u.Slot(DeviceKind::Scale);
    if (scale.bound) {
      scale.connected = false;
      if (!probe.scaleFound) {
        probe.scaleFound = devices_.scale.Detect();
        probe.scaleCode = devices_.scale.Serial();
        if (!*probe.scaleFound) ++departures_[IndexOf(DeviceKind::Scale)];
      }
      if (*probe.scaleFound) {
        if (!probe.scaleCode.empty() && probe.scaleCode == scale.serial) scale.connected = true;
      } else {
        scale.syncState = scale.readBefore = false;
      }
    }
  }
  services_.frame.RefreshHardwarePanel();
}

void SyncEngine::CheckPedometerClock() {
  std::optional<std::tm> clock = devices_.pedometer.GetClock();
  if (!clock) return;
  if (ClockOff(TimeFromLocalFields(*clock), services_.clock.Now(), kClockToleranceSeconds)) {
    devices_.pedometer.SetClock();
  }
}

void SyncEngine::CheckTrackerClock() {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!devices_.kit.GetStepTime(year, month, day, hour, minute, second)) return;
  std::tm f{};
  f.tm_year = year + 100;
  f.tm_mon = month - 1;
  f.tm_mday = day;
  f.tm_hour = hour;
  f.tm_min = minute;
  f.tm_sec = std::min(second, 59);
  if (ClockOff(TimeFromLocalFields(f), services_.clock.Now(), kClockToleranceSeconds)) devices_.kit.SetStepTime();
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

int SyncEngine::DaysHeld(DeviceKind kind) {
  if (kind == DeviceKind::Pedometer) return devices_.pedometer.ReadDays().value_or(0);
  return MarkedDays(DayMap(devices_.kit));
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
    for (DeviceKind kind : kDayDevices) {
      if (Due(*user, kind) && !Retrying(*user, kind)) freshDays += DaysHeld(kind);
    }
  }
  bool fresh = taken + freshDays > 0;
  if (!fresh && !retry_.Due(now)) return;
  int total = freshDays;
  for (const auto& user : users_) {
    for (DeviceKind kind : kDayDevices) {
      if (Retrying(*user, kind)) total += DaysHeld(kind);
    }
    // The readings just taken are among the unsent ones.
    if (ScaleStepRuns(*user)) total += UnsentWeights(*user);
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
    if (Due(u, DeviceKind::Pedometer) && !RunStep(u, DeviceKind::Pedometer)) return Finish(false, total);
    if (!stopRequested_ && Due(u, DeviceKind::Pace700)) RunStep(u, DeviceKind::Pace700);
    if (!stopRequested_ && ScaleStepRuns(u) && !RunStep(u, DeviceKind::Scale)) {
      return Finish(false, total);
    }
  }
  if (!stopRequested_) Finish(true, total);
}

bool SyncEngine::RunStep(UserRecord& u, DeviceKind kind) {
  uint64_t departures = departures_[IndexOf(kind)];
  StepEnd end = kind == DeviceKind::Pedometer ? UploadPedometer(u)
                : kind == DeviceKind::Pace700 ? UploadTracker(u)
                                              : UploadWeights(u);
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

SyncEngine::StepEnd SyncEngine::UploadPedometer(UserRecord& u) {
  CHIDClass& hid = devices_.pedometer;
  std::optional<int> count = hid.ReadDays();
  if (!count) {
    services_.pacer.Wait(kRetryWaitMs);
    count = hid.ReadDays();
    if (!count) return StepEnd::Failed;
  }
  // A copy: pumped messages may run another pedometer command that refills the table.
  std::vector<PedometerDay> days = hid.Days();
  uint32_t deviceId = hid.LastDeviceId();
  settlement_.Begin("ped:" + CHIDClass::IdText(deviceId));
  bool everyDaySettled = true;
  for (const PedometerDay& day : days) {
    if (stopRequested_) {
      everyDaySettled = false;
      break;
    }
    // Blocks dated before the devices existed are the memory of an unset clock, not days.
    if (day.year > 2011) {
      DayAnswer answer = AnswerDay(u, services_.uploads.UploadPedometerDay(u, day));
      if (CountsAsUploaded(answer)) history_->DayStored(u, DeviceKind::Pedometer, DayText(day), {});
      if (!settlement_.Settle(DayText(day), answer)) everyDaySettled = false;
    }
    services_.pacer.Wait(kDayWaitMs);
  }
  settlement_.End();
  if (stopRequested_) return StepEnd::DeviceChanged;

  // Clearing and the profile are for the pedometer the days came from: one pulled meanwhile, or
  // another one in its place, is left as it is.
  if (!hid.ReadId() || hid.LastDeviceId() != deviceId) return StepEnd::DeviceChanged;
  // Clearing removes days from the device for good: only once the service has decided each of them.
  if (days.size() >= 2 && everyDaySettled) hid.ClearDays(static_cast<int>(days.size()) - 1);

  PedometerProfile p = PedometerProfileOf(u);
  if (hid.Query() == -1) {
    hid.SetProfileShort(p.weight, p.height, p.goal, p.userId);
  } else {
    hid.SetProfileLong(p.weight, p.height, p.goal, static_cast<uint8_t>(u.goalUnit), p.userId);
  }
  u.Slot(DeviceKind::Pedometer).updatetime = Now();
  return everyDaySettled ? StepEnd::Done : StepEnd::Unsettled;
}

SyncEngine::StepEnd SyncEngine::UploadTracker(UserRecord& u) {
  CPace700Kit& kit = devices_.kit;
  int64_t id = kit.GetDeviceID(false);
  std::string idText = TrackerIdText(id);
  std::string map = DayMap(kit);
  std::vector<char> scratch(static_cast<size_t>(MarkedDays(map) + 1) * 2048, 0);
  kit.BeginCalculateSleepData(scratch.data());

  settlement_.Begin("pace700:" + idText);
  bool everyDaySettled = true;
  for (int index = static_cast<int>(map.size()) - 1; index >= 0; --index) {
    if (map[index] != '1') continue;
    if (stopRequested_) {
      everyDaySettled = false;
      break;
    }
    char date[kDayMapChars] = {};
    const char* data = kit.GetSingleData(index, date);
    if (!data) {
      // The tracker did not give the day (pulled out, say): nothing to send, and nothing to erase.
      everyDaySettled = false;
    } else {
      std::string dateText(date, strnlen(date, sizeof date));
      DayAnswer answer = AnswerDay(u, services_.uploads.UploadPace700Day(u, data, dateText, idText));
      if (CountsAsUploaded(answer)) history_->DayStored(u, DeviceKind::Pace700, dateText, data);
      if (!settlement_.Settle(dateText, answer)) everyDaySettled = false;
    }
    services_.pacer.Wait(kDayWaitMs);
  }
  settlement_.End();
  if (stopRequested_) return StepEnd::DeviceChanged;

  // Erasing and the parameters are for the tracker the days came from, and only for it.
  if (!kit.StepIsConnected() || kit.GetDeviceID(false) != id) return StepEnd::DeviceChanged;
  // Erasing is for good: the tracker keeps its days unless the service has decided each of them.
  if (everyDaySettled) kit.EraseStepData(1);

  TrackerProfile p = TrackerProfileOf(u);
  kit.SetParameters(p.sex, p.age, p.height, p.weight, p.stepValue, p.dailyGoal, p.goalUnit);
  u.Slot(DeviceKind::Pace700).updatetime = Now();
  return everyDaySettled ? StepEnd::Done : StepEnd::Unsettled;
}

SyncEngine::StepEnd SyncEngine::UploadWeights(UserRecord& u) {
  DeviceSlot& scale = u.Slot(DeviceKind::Scale);
  for (size_t i = 0; i < u.datalist.size(); ++i) {
    if (u.datalist[i].uploaded) continue;
    if (stopRequested_) return StepEnd::DeviceChanged;
    WeightRecord reading = u.datalist[i];
    history_->WeightHeld(u, reading);
    std::unique_ptr<XmlDocument> answer = services_.uploads.UploadWeight(u, reading.time, scale.serial, reading.weight);
    if (!answer || answer->Root().Name() != "scaleup_res") return StepEnd::Failed;
    u.datalist[i].uploaded = true;
    history_->WeightStored(u, reading);
    ++u.uploadedThisPass;
    u.standardweight = reading.weight;
    ItemUploaded();
    services_.pacer.Wait(kWeightWaitMs);
  }
  if (!scale.connected) return StepEnd::DeviceChanged;
  scale.updatetime = Now();
  return StepEnd::Done;
}
