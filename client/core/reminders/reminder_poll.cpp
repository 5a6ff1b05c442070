#include "client/core/reminders/reminder_poll.h"

#include <optional>
#include <vector>

#include "client/core/reminders/reminder_reply.h"

namespace {
std::optional<size_t> IndexOf(const UserList& users, const UserRecord* user) {
  for (size_t i = 0; i < users.size(); ++i) {
    if (users[i].get() == user) return i;
  }
  return std::nullopt;
}
}  // namespace

ReminderPoll::ReminderPoll(ApiClient& api, const UserList& users, UserChanges& changes, Notice refused)
    : api_(api), users_(users), changes_(changes), refused_(std::move(refused)) {}

int ReminderPoll::PollUser(size_t index) {
  if (index >= users_.size()) return 0;
  std::unique_ptr<XmlDocument> answer;
  {
    const UserRecord& user = *users_[index];
    answer = api_.GetUserInfo(user.account, user.password);
  }
  ReminderReply reply = ReadReminderReply(answer.get());
  if (reply.counts) {
    // Refused only under a running sync pass; the counters then come with the next poll.
    changes_.Edit(index, [&](UserRecord& r) { r.counts = *reply.counts; });
  }
  if (reply.outcome == ReminderReply::Outcome::Refused && refused_) refused_(reply.refusal, kLoginErrorCaption);
  return reply.count;
}

int ReminderPoll::PollAll(const Found& found) {
  // Records are compared by address only, never followed, until they are found in the list again.
  std::vector<const UserRecord*> round;
  for (const auto& user : users_) {
    if (user->loggedIn) round.push_back(user.get());
  }
  int foundCount = 0;
  for (const UserRecord* wanted : round) {
    std::optional<size_t> at = IndexOf(users_, wanted);
    if (!at || !users_[*at]->loggedIn) continue;
    int count = PollUser(*at);
    if (count <= 0) continue;
    // Only a refusal runs a message box, and it counts nothing: the record is where it was.
    ++foundCount;
    if (found) found(*users_[*at], count);
  }
  return foundCount;
}
