#include "client/core/reminders/reminder_schedule.h"

#include "client/core/settings/settings_fields.h"

int ReminderSchedule::IntervalMinutes(int tixingTime) {
  return SettingsIntervalOf(tixingTime).minutes;
}

bool ReminderSchedule::Owed(int tixingTime) const {
  return sinceLastMs_ >= static_cast<int64_t>(IntervalMinutes(tixingTime)) * 60'000;
}

bool ReminderSchedule::Tick(int tixingTime, bool passRunning, const std::function<void()>& poll) {
  sinceLastMs_ += kTickMs;
  if (!Owed(tixingTime) || passRunning || polling_) return false;
  sinceLastMs_ = 0;
  struct Running {
    bool& flag;
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
  } running(polling_);
  if (poll) poll();
  return true;
}
