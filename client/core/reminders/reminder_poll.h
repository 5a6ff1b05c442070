#pragma once
// ReminderPoll: one round of asking the web service for the reminders of every logged-in user, in
// list order. A user's poll is the login request with the account and password; the "msgs" counters
// of its answer are kept in the record, and a refused login is told to the user. Main-window
// thread only.
//
// Telling the user runs a message box, whose loop lets the windows change the list meanwhile; the
// round therefore holds no record across it and skips users that went away or logged out.

#include <cstddef>
#include <functional>
#include <string_view>

#include "client/core/api/api_client.h"
#include "client/core/sync/user_changes.h"
#include "client/core/users/user_store.h"

class ReminderPoll {
 public:
  // Shows the user a message: text and caption.
  using Notice = std::function<void(std::string_view text, std::string_view caption)>;
  // Hears a user with new reminders and their number (above 0); the record stands while it runs.
  using Found = std::function<void(const UserRecord& user, int count)>;

  // Everything is borrowed; changes must be the list's own. refused may be empty (nothing shown).
  ReminderPoll(ApiClient& api, const UserList& users, UserChanges& changes, Notice refused);

  // Polls the user at index: the number of new reminders, 0 when the login was refused, no answer
  // came or the answer had no counters (the record's counters then stay as they were). A refusal
  // is told before this returns. 0 for an index beyond the list.
  int PollUser(size_t index);

  // Polls every user logged in when the round begins; found hears each with reminders, in list
  // order. Returns how many were found.
  int PollAll(const Found& found);

 private:
  ApiClient& api_;
  const UserList& users_;
  UserChanges& changes_;
  Notice refused_;
};
