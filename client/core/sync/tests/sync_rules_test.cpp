#include "client/core/sync/sync_rules.h"

#include <gtest/gtest.h>

namespace {
std::unique_ptr<XmlDocument> Doc(const std::string& xml) {
  auto doc = std::make_unique<XmlDocument>();
  doc->LoadText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + xml);
  return doc;
}
}  // namespace

TEST(SyncRules, DayAnswersCountByRootAndMessage) {
  std::string message;
  EXPECT_EQ(ClassifyDayAnswer(Doc("<pedup_res><msg>x</msg></pedup_res>").get(), &message), DayAnswer::Uploaded);
  EXPECT_EQ(ClassifyDayAnswer(Doc("<error_res><msg>非法的每日运动数据</msg></error_res>").get(), &message),
            DayAnswer::CountedAsUploaded);
  EXPECT_EQ(ClassifyDayAnswer(Doc("<error_res><msg>设备未绑定</msg></error_res>").get(), &message), DayAnswer::Refused);
  EXPECT_EQ(message, "设备未绑定");
  EXPECT_EQ(ClassifyDayAnswer(Doc("<error_res><code>9</code></error_res>").get(), &message), DayAnswer::Unknown);
  EXPECT_EQ(ClassifyDayAnswer(nullptr, &message), DayAnswer::NoAnswer);
  EXPECT_TRUE(CountsAsUploaded(DayAnswer::CountedAsUploaded));
  EXPECT_FALSE(CountsAsUploaded(DayAnswer::Refused));
}

TEST(SyncRules, TrackerProfileTakesDefaultsAndStaysInRange) {
  UserRecord u;
  TrackerProfile p = TrackerProfileOf(u);
  EXPECT_EQ(p.age, 25);
  EXPECT_EQ(p.height, 170);
  EXPECT_EQ(p.weight, 50);
  EXPECT_EQ(p.stepValue, 70);
  EXPECT_EQ(p.dailyGoal, 3000);
  EXPECT_EQ(p.goalUnit, 1);

  u.sex = 1, u.age = 40, u.height = 250, u.weight = 120, u.stepvalue = 10, u.dailyGoal = 15, u.goalUnit = 1;
  p = TrackerProfileOf(u);
  EXPECT_EQ(p.sex, 1);
  EXPECT_EQ(p.height, 200);
  EXPECT_EQ(p.weight, 90);
  EXPECT_EQ(p.stepValue, 30);
  EXPECT_EQ(p.dailyGoal, 20);
  EXPECT_EQ(p.goalUnit, 2);

  u.height = 10, u.weight = 5, u.stepvalue = 200, u.goalUnit = 3;
  for (auto [goal, expected] : {std::pair{65535, 65000}, {70000, 65000}, {65534, 65534}, {65001, 65001}, {21, 21}}) {
    u.dailyGoal = goal;
    p = TrackerProfileOf(u);
    EXPECT_EQ(p.dailyGoal, expected) << goal;
  }
  EXPECT_EQ(p.height, 20);
  EXPECT_EQ(p.weight, 20);
  EXPECT_EQ(p.stepValue, 120);
  EXPECT_EQ(p.goalUnit, 0);
}

TEST(SyncRules, PedometerProfileTruncatesToBytes) {
  UserRecord u;
  u.uid = "305419896";
  u.pedometerGoal = 1300;
  PedometerProfile p = PedometerProfileOf(u);
  EXPECT_EQ(p.weight, 50);
  EXPECT_EQ(p.height, 170);
  EXPECT_EQ(p.goal, 100);
  EXPECT_EQ(p.userId, 305419896u);
  u.weight = 300;
  u.pedometerGoal = 13 * 260;
  u.uid = "abc";
  p = PedometerProfileOf(u);
  EXPECT_EQ(p.weight, 300 & 0xFF);
  EXPECT_EQ(p.goal, 4);
  EXPECT_EQ(p.userId, 0u);
}

TEST(SyncRules, LastSyncTextHasNoLeadingZeros) {
  std::tm f{};
  f.tm_year = 124, f.tm_mon = 0, f.tm_mday = 5, f.tm_hour = 7, f.tm_min = 3, f.tm_sec = 9;
  EXPECT_EQ(LastSyncText(f), "上一次同步时间为:2024-1-5 7:3:9");
}
