#include "kit/pace700_kit.h"

#include <cstdio>
#include <cstring>

#include "kit/tracker_link.h"

namespace {
constexpr size_t kDateBufferBytes = 30;
constexpr size_t kMaxDataText = 10239;
}  // namespace

CPace700Kit::CPace700Kit() : link_(MakeTrackerLink()), dayMap_(TrackerLink::kDays, '0') {}

CPace700Kit::~CPace700Kit() = default;

void CPace700Kit::SetSercetKey(int key) { key_ = key; }

bool CPace700Kit::Ready() { return key_ == TrackerLink::kKey && link_->Attached(); }

bool CPace700Kit::StepIsConnected() { return link_->Attached(); }

int64_t CPace700Kit::GetDeviceID(bool /*refresh*/) { return Ready() ? link_->DeviceId() : -1; }

bool CPace700Kit::GetStepTime(int& year, int& month, int& day, int& hour, int& minute, int& second) {
  if (!Ready()) return false;
  std::optional<std::tm> clock = link_->Clock();
  if (!clock) return false;
  year = clock->tm_year - 100;
  month = clock->tm_mon + 1;
  day = clock->tm_mday;
  hour = clock->tm_hour;
  minute = clock->tm_min;
  second = clock->tm_sec;
  return true;
}

bool CPace700Kit::SetStepTime() { return Ready() && link_->SetClockToNow(); }

char* CPace700Kit::CkeckExsitDataDay() {
  dayMap_.assign(TrackerLink::kDays, '0');
  if (Ready()) {
    auto days = link_->Days();
    for (int i = 0; i < TrackerLink::kDays; ++i) {
      if (days[i] && !days[i]->data.empty()) dayMap_[i] = '1';
    }
  }
  return dayMap_.data();
}

bool CPace700Kit::BeginCalculateSleepData(char* /*buffer*/) { return Ready(); }

char* CPace700Kit::GetSingleData(int dayIndex, char* dateBuffer) {
  if (dateBuffer) dateBuffer[0] = '\0';
  if (!Ready() || dayIndex < 0 || dayIndex >= TrackerLink::kDays) return nullptr;
  auto days = link_->Days();
  const std::optional<TrackerDay>& day = days[dayIndex];
  if (!day || day->data.empty()) return nullptr;
  if (dateBuffer) std::snprintf(dateBuffer, kDateBufferBytes, "%d-%02d-%02d", day->year, day->month, day->day);
  dayText_ = day->data.substr(0, kMaxDataText);
  return dayText_.data();
}

bool CPace700Kit::EraseStepData(int what) { return what == 1 && Ready() && link_->Erase(); }

bool CPace700Kit::SetParameters(int sex, int age, int height, int weight, int stepValue, int dailyGoal, int goalUnit) {
  return Ready() && link_->SetParameters({sex, age, height, weight, stepValue, dailyGoal, goalUnit});
}
