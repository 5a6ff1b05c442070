#pragma once
// The small rules of a sync pass: how a day-upload answer counts, the profiles sent to the devices,
// and the last-sync text.

#include <ctime>
#include <string>

#include "client/core/users/user_record.h"
#include "common/xml/xml_document.h"

enum class DayAnswer {
  Uploaded,           // "pedup_res"
  CountedAsUploaded,  // the service already refuses this day as invalid; sending it again is useless
  Refused,            // another "msg": shown to the user
  Unknown,            // an answer without "msg"
  NoAnswer,
};

// How answer (null: none came) counts; message receives the refusal text for Refused.
DayAnswer ClassifyDayAnswer(const XmlDocument* answer, std::string* message);
inline bool CountsAsUploaded(DayAnswer a) { return a == DayAnswer::Uploaded || a == DayAnswer::CountedAsUploaded; }

struct PedometerProfile {
  uint8_t weight, height, goal;
  uint32_t userId;
};
PedometerProfile PedometerProfileOf(const UserRecord& user);

struct TrackerProfile {
  int sex, age, height, weight, stepValue, dailyGoal, goalUnit;
};
// The user's values kept within what the tracker takes.
TrackerProfile TrackerProfileOf(const UserRecord& user);

// "上一次同步时间为:%d-%d-%d %d:%d:%d" of local fields.
std::string LastSyncText(const std::tm& local);
