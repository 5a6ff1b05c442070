#pragma once
// AccountStore: the member accounts with their profile, weekly task and reminder counters.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "service/store/sqlite.h"

namespace service {

struct Profile {
  int sex = 0;
  int age = 0;
  int heigh = 0;  // cm
  int weight = 0;  // kg
  int stepvalue = 0;  // step length, cm
};

struct Task {
  int64_t value = 0;
  int unit = 0;
};

// The five kinds of reminders the member site keeps; all() is what the client's alert counts.
struct Reminders {
  int fri = 0;
  int ivi = 0;
  int msg = 0;
  int reshare = 0;
  int notice = 0;
  int all() const { return fri + ivi + msg + reshare + notice; }
};

struct Account {
  int64_t uid = 0;
  std::string account;  // the e-mail address the member logs in with
  std::string passwordHash;
  std::string uname;
  int level = 1;
  Profile profile;
  std::vector<Task> tasks;
  Reminders reminders;
  bool hasHeadImage = false;
};

struct HeadImage {
  std::string type;  // MIME type
  std::string bytes;
};

class AccountStore {
 public:
  explicit AccountStore(Database& database) : database_(database) {}

  // Stores a new account (uid and hasHeadImage of the argument are ignored) with its profile, tasks
  // and counters in one transaction. The new uid, or nothing when the account name is taken or the
  // write fails.
  std::optional<int64_t> Create(const Account& account, const HeadImage* head = nullptr);

  // The account with that uid or login name (letter case ignored); nothing when there is none.
  std::optional<Account> Find(int64_t uid);
  std::optional<Account> FindByName(const std::string& account);

  // Every account in uid order.
  std::vector<Account> List();

  bool SetPasswordHash(int64_t uid, const std::string& hash);
  bool SetReminders(int64_t uid, const Reminders& reminders);
  // Sets one counter ("fri", "ivi", "msg", "reshare", "notice") to zero; false for another name.
  bool ClearReminder(int64_t uid, const std::string& kind);

  std::optional<HeadImage> FindHeadImage(int64_t uid);

 private:
  std::optional<Account> Load(DatabaseUse& use, const char* where, const std::string& key, int64_t id);
  Database& database_;
};

}  // namespace service
