// How the answer to a reminder poll is read.
#include "client/core/reminders/reminder_reply.h"

#include <gtest/gtest.h>

namespace {

XmlDocument Answer(std::string_view body) {
  XmlDocument doc;
  doc.LoadText(std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>") + std::string(body));
  return doc;
}

TEST(ReminderReply, UserInfoGivesAllAsTheCountAndKeepsEveryCounter) {
  XmlDocument doc = Answer(
      "<user_res><uid>7</uid><msgs><all>9</all><fri>1</fri><ivi>2</ivi><msg>3</msg><reshare>0</reshare>"
      "<notice>3</notice></msgs></user_res>");
  ReminderReply reply = ReadReminderReply(&doc);
  EXPECT_EQ(reply.outcome, ReminderReply::Outcome::Counted);
  EXPECT_EQ(reply.count, 9);
  ASSERT_TRUE(reply.counts);
  EXPECT_EQ(reply.counts->fri, 1);
  EXPECT_EQ(reply.counts->ivi, 2);
  EXPECT_EQ(reply.counts->msg, 3);
  EXPECT_EQ(reply.counts->reshare, 0);
  EXPECT_EQ(reply.counts->notice, 3);
  EXPECT_TRUE(reply.refusal.empty());
}

TEST(ReminderReply, CountersThatAreMissingNegativeOrNoNumbersCountNothing) {
  XmlDocument doc =
      Answer("<user_res><msgs><all> +4 </all><fri>-2</fri><ivi>很多</ivi><msg>99999999999</msg></msgs></user_res>");
  ReminderReply reply = ReadReminderReply(&doc);
  EXPECT_EQ(reply.count, 4);
  ASSERT_TRUE(reply.counts);
  EXPECT_EQ(reply.counts->fri, 0);
  EXPECT_EQ(reply.counts->ivi, 0);
  EXPECT_EQ(reply.counts->msg, 0);
  EXPECT_EQ(reply.counts->notice, 0);
}

TEST(ReminderReply, AUserInfoWithoutMsgsCountsNothingAndLeavesTheCountersAlone) {
  XmlDocument doc = Answer("<user_res><uid>7</uid></user_res>");
  ReminderReply reply = ReadReminderReply(&doc);
  EXPECT_EQ(reply.outcome, ReminderReply::Outcome::Counted);
  EXPECT_EQ(reply.count, 0);
  EXPECT_FALSE(reply.counts);
}

TEST(ReminderReply, AnyOtherAnswerIsARefusalWithTheServicesTextOrTheUnknownOne) {
  XmlDocument withText = Answer("<error_res><code>11</code><msg>密码错误</msg></error_res>");
  ReminderReply refused = ReadReminderReply(&withText);
  EXPECT_EQ(refused.outcome, ReminderReply::Outcome::Refused);
  EXPECT_EQ(refused.refusal, "密码错误");
  EXPECT_EQ(refused.count, 0);
  EXPECT_FALSE(refused.counts);

  // A refusal carries no counters, even when it looks as if it did.
  XmlDocument bare = Answer("<error_res><code>9</code><msgs><all>5</all></msgs></error_res>");
  EXPECT_EQ(ReadReminderReply(&bare).refusal, kUnknownLoginError);
  EXPECT_EQ(ReadReminderReply(&bare).count, 0);
  XmlDocument empty = Answer("<error_res><msg>  </msg></error_res>");
  EXPECT_EQ(ReadReminderReply(&empty).refusal, kUnknownLoginError);
  XmlDocument rootMsg = Answer("<msg>账号不存在</msg>");
  EXPECT_EQ(ReadReminderReply(&rootMsg).refusal, "账号不存在");

  EXPECT_EQ(ReadReminderReply(nullptr).outcome, ReminderReply::Outcome::NoAnswer);
  EXPECT_TRUE(ReadReminderReply(nullptr).refusal.empty());
}

TEST(ReminderReply, ALongRefusalIsCutWithoutSplittingACharacter) {
  std::string text;
  for (int i = 0; i < 600; ++i) text += "错";  // three bytes each
  XmlDocument doc = Answer("<error_res><msg>" + text + "</msg></error_res>");
  std::string shown = ReadReminderReply(&doc).refusal;
  EXPECT_LE(shown.size(), kMaxRefusalBytes);
  EXPECT_EQ(shown.size() % 3, 0u);
  EXPECT_EQ(shown, text.substr(0, shown.size()));
}

TEST(ReminderReply, TheButtonTextHasTwentyBlanksBeforeTheWord) {
  EXPECT_EQ(ReminderLabelText(12), "                    提醒（12）");
}

}  // namespace
