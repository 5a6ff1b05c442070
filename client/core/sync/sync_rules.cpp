#include "client/core/sync/sync_rules.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {
constexpr const char* kInvalidDay = "非法的每日运动数据";
}

DayAnswer ClassifyDayAnswer(const XmlDocument* answer, std::string* message) {
  if (!answer) return DayAnswer::NoAnswer;
  const XmlElement& root = answer->Root();
  if (root.Name() == "pedup_res") return DayAnswer::Uploaded;
  const XmlElement* msg = root.Name() == "msg" ? &root : root.FindChild("msg");
  if (!msg) return DayAnswer::Unknown;
  std::string text = msg->Value();
  if (text == kInvalidDay) return DayAnswer::CountedAsUploaded;
  if (message) *message = text;
  return DayAnswer::Refused;
}

PedometerProfile PedometerProfileOf(const UserRecord& u) {
  uint32_t uid = 0;
  std::from_chars(u.uid.data(), u.uid.data() + u.uid.size(), uid);
  return {static_cast<uint8_t>(u.weight <= 1 ? 50 : u.weight), static_cast<uint8_t>(u.height <= 1 ? 170 : u.height),
          static_cast<uint8_t>(u.pedometerGoal / 13), uid};
}

TrackerProfile TrackerProfileOf(const UserRecord& u) {
  auto orDefault = [](int v, int fallback) { return v <= 1 ? fallback : v; };
  int goal = u.dailyGoal;
  if (goal <= 1) {
    goal = 3000;
  } else if (goal <= 20) {
    goal = 20;
  } else if (goal >= 65535) {
    goal = 65000;
  }
  int unit = u.goalUnit == 1 ? 2 : u.goalUnit == 3 ? 0 : 1;
  return {u.sex,
          orDefault(u.age, 25),
          std::clamp(orDefault(u.height, 170), 20, 200),
          std::clamp(orDefault(u.weight, 50), 20, 90),
          std::clamp(orDefault(u.stepvalue, 70), 30, 120),
          goal,
          unit};
}

std::string LastSyncText(const std::tm& f) {
  char text[128];
  std::snprintf(text, sizeof text, "上一次同步时间为:%d-%d-%d %d:%d:%d", f.tm_year + 1900, f.tm_mon + 1, f.tm_mday,
                f.tm_hour, f.tm_min, f.tm_sec);
  return text;
}
