#include "client/core/sync/sync_devices.h"

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

int UnsentWeights(const UserRecord& u) {
  return static_cast<int>(std::count_if(u.datalist.begin(), u.datalist.end(), [](const WeightRecord& w) { return !w.uploaded; }));
}

std::string DayText(const PedometerDay& day) {
  return std::to_string(day.year) + "-" + std::to_string(day.month) + "-" + std::to_string(day.day);
}

}  // namespace

// -- Pedometer ---------------------------------------------------------------------------------------

bool SyncEngine::PedometerDevice::Find(std::string& code) {
  bool found = hid_.Open();
  if (found && hid_.ReadId()) code = CHIDClass::IdText(hid_.LastDeviceId());
  return found;
}

void SyncEngine::PedometerDevice::CheckClock() {
  std::optional<std::tm> clock = hid_.GetClock();
  if (!clock) return;
  if (ClockOff(TimeFromLocalFields(*clock), engine_.services_.clock.Now(), kClockToleranceSeconds)) hid_.SetClock();
}

int SyncEngine::PedometerDevice::DaysHeld() { return hid_.ReadDays().value_or(0); }

SyncEngine::StepEnd SyncEngine::PedometerDevice::Upload(UserRecord& u) {
  SyncServices& services = engine_.services_;
  std::optional<int> count = hid_.ReadDays();
  if (!count) {
    services.pacer.Wait(kRetryWaitMs);
    count = hid_.ReadDays();
    if (!count) return StepEnd::Failed;
  }
  // A copy: pumped messages may run another pedometer command that refills the table.
  std::vector<PedometerDay> days = hid_.Days();
  uint32_t deviceId = hid_.LastDeviceId();
  engine_.settlement_.Begin("ped:" + CHIDClass::IdText(deviceId));
  bool everyDaySettled = true;
  for (const PedometerDay& day : days) {
    if (engine_.stopRequested_) {
      everyDaySettled = false;
      break;
    }
    // Blocks dated before the devices existed are the memory of an unset clock, not days.
    if (day.year > 2011) {
      DayAnswer answer = engine_.AnswerDay(u, services.uploads.UploadPedometerDay(u, day));
      if (CountsAsUploaded(answer)) engine_.history_->DayStored(u, DeviceKind::Pedometer, DayText(day), {});
      if (!engine_.settlement_.Settle(DayText(day), answer)) everyDaySettled = false;
    }
    services.pacer.Wait(kDayWaitMs);
  }
  engine_.settlement_.End();
  if (engine_.stopRequested_) return StepEnd::DeviceChanged;

  // Clearing and the profile are for the pedometer the days came from: one pulled meanwhile, or
  // another one in its place, is left as it is.
  if (!hid_.ReadId() || hid_.LastDeviceId() != deviceId) return StepEnd::DeviceChanged;
  // Clearing removes days from the device for good: only once the service has decided each of them.
  if (days.size() >= 2 && everyDaySettled) hid_.ClearDays(static_cast<int>(days.size()) - 1);

  PedometerProfile p = PedometerProfileOf(u);
  if (hid_.Query() == -1) {
    hid_.SetProfileShort(p.weight, p.height, p.goal, p.userId);
  } else {
    hid_.SetProfileLong(p.weight, p.height, p.goal, static_cast<uint8_t>(u.goalUnit), p.userId);
  }
  u.Slot(DeviceKind::Pedometer).updatetime = engine_.Now();
  return everyDaySettled ? StepEnd::Done : StepEnd::Unsettled;
}

// -- Tracker -----------------------------------------------------------------------------------------

bool SyncEngine::TrackerDevice::Find(std::string& code) {
  bool found = kit_.StepIsConnected();
  if (found) {
    int64_t id = kit_.GetDeviceID(false);
    if (id >= 0) code = TrackerIdText(id);
  }
  return found;
}

void SyncEngine::TrackerDevice::CheckClock() {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!kit_.GetStepTime(year, month, day, hour, minute, second)) return;
  std::tm f{};
  f.tm_year = year + 100;
  f.tm_mon = month - 1;
  f.tm_mday = day;
  f.tm_hour = hour;
  f.tm_min = minute;
  f.tm_sec = std::min(second, 59);
  if (ClockOff(TimeFromLocalFields(f), engine_.services_.clock.Now(), kClockToleranceSeconds)) kit_.SetStepTime();
}

int SyncEngine::TrackerDevice::DaysHeld() { return MarkedDays(DayMap(kit_)); }

SyncEngine::StepEnd SyncEngine::TrackerDevice::Upload(UserRecord& u) {
  SyncServices& services = engine_.services_;
  int64_t id = kit_.GetDeviceID(false);
  std::string idText = TrackerIdText(id);
  std::string map = DayMap(kit_);
  std::vector<char> scratch(static_cast<size_t>(MarkedDays(map) + 1) * 2048, 0);
  kit_.BeginCalculateSleepData(scratch.data());

  engine_.settlement_.Begin("pace700:" + idText);
  bool everyDaySettled = true;
  for (int index = static_cast<int>(map.size()) - 1; index >= 0; --index) {
    if (map[index] != '1') continue;
    if (engine_.stopRequested_) {
      everyDaySettled = false;
      break;
    }
    char date[kDayMapChars] = {};
    const char* data = kit_.GetSingleData(index, date);
    if (!data) {
      // The tracker did not give the day (pulled out, say): nothing to send, and nothing to erase.
      everyDaySettled = false;
    } else {
      std::string dateText(date, strnlen(date, sizeof date));
      DayAnswer answer = engine_.AnswerDay(u, services.uploads.UploadPace700Day(u, data, dateText, idText));
      if (CountsAsUploaded(answer)) engine_.history_->DayStored(u, DeviceKind::Pace700, dateText, data);
      if (!engine_.settlement_.Settle(dateText, answer)) everyDaySettled = false;
    }
    services.pacer.Wait(kDayWaitMs);
  }
  engine_.settlement_.End();
  if (engine_.stopRequested_) return StepEnd::DeviceChanged;

  // Erasing and the parameters are for the tracker the days came from, and only for it.
  if (!kit_.StepIsConnected() || kit_.GetDeviceID(false) != id) return StepEnd::DeviceChanged;
  // Erasing is for good: the tracker keeps its days unless the service has decided each of them.
  if (everyDaySettled) kit_.EraseStepData(1);

  TrackerProfile p = TrackerProfileOf(u);
  kit_.SetParameters(p.sex, p.age, p.height, p.weight, p.stepValue, p.dailyGoal, p.goalUnit);
  u.Slot(DeviceKind::Pace700).updatetime = engine_.Now();
  return everyDaySettled ? StepEnd::Done : StepEnd::Unsettled;
}

// -- Scale -------------------------------------------------------------------------------------------

bool SyncEngine::ScaleDevice::Find(std::string& code) {
  bool found = scale_.Detect();
  code = scale_.Serial();
  return found;
}

int SyncEngine::ScaleDevice::CarriedItems(const UserRecord& u) { return StepRuns(u) ? UnsentWeights(u) : 0; }

// The scale's part runs while the scale is attached, and for the readings a user holds unsent
// whether or not it is: they go up with the scale's code the user is bound by, as they were taken
// already.
bool SyncEngine::ScaleDevice::StepRuns(const UserRecord& u) const {
  const DeviceSlot& scale = u.Slot(DeviceKind::Scale);
  return Ready(u, DeviceKind::Scale) || (scale.bound && !scale.serial.empty() && UnsentWeights(u) > 0);
}

SyncEngine::StepEnd SyncEngine::ScaleDevice::Upload(UserRecord& u) {
  SyncServices& services = engine_.services_;
  DeviceSlot& scale = u.Slot(DeviceKind::Scale);
  for (size_t i = 0; i < u.datalist.size(); ++i) {
    if (u.datalist[i].uploaded) continue;
    if (engine_.stopRequested_) return StepEnd::DeviceChanged;
    WeightRecord reading = u.datalist[i];
    engine_.history_->WeightHeld(u, reading);
    std::unique_ptr<XmlDocument> answer = services.uploads.UploadWeight(u, reading.time, scale.serial, reading.weight);
    if (!answer || answer->Root().Name() != "scaleup_res") return StepEnd::Failed;
    u.datalist[i].uploaded = true;
    engine_.history_->WeightStored(u, reading);
    ++u.uploadedThisPass;
    u.standardweight = reading.weight;
    engine_.ItemUploaded();
    services.pacer.Wait(kWeightWaitMs);
  }
  if (!scale.connected) return StepEnd::DeviceChanged;
  scale.updatetime = engine_.Now();
  return StepEnd::Done;
}
