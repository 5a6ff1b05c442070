#include "service/store/account_store.h"

#include <ctime>

namespace service {
namespace {

constexpr const char* kAccountColumns =
    "SELECT a.uid, a.account, a.password_hash, a.uname, a.level, a.head_image IS NOT NULL,"
    " p.sex, p.age, p.heigh, p.weight, p.stepvalue,"
    " r.fri, r.ivi, r.msg, r.reshare, r.notice"
    " FROM accounts a LEFT JOIN profiles p ON p.uid = a.uid LEFT JOIN reminders r ON r.uid = a.uid ";

Account ReadAccount(const Statement& row) {
  Account account;
  account.uid = row.Int(0);
  account.account = row.Text(1);
  account.passwordHash = row.Text(2);
  account.uname = row.Text(3);
  account.level = static_cast<int>(row.Int(4));
  account.hasHeadImage = row.Int(5) != 0;
  account.profile = {static_cast<int>(row.Int(6)), static_cast<int>(row.Int(7)), static_cast<int>(row.Int(8)),
                     static_cast<int>(row.Int(9)), static_cast<int>(row.Int(10))};
  account.reminders = {static_cast<int>(row.Int(11)), static_cast<int>(row.Int(12)), static_cast<int>(row.Int(13)),
                       static_cast<int>(row.Int(14)), static_cast<int>(row.Int(15))};
  return account;
}

std::vector<Task> ReadTasks(DatabaseUse& use, int64_t uid) {
  std::vector<Task> tasks;
  Statement query(use.handle(), "SELECT value, unit FROM tasks WHERE uid = ? ORDER BY id");
  query.Bind(1, uid);
  while (query.Step()) tasks.push_back({query.Int(0), static_cast<int>(query.Int(1))});
  return tasks;
}

}  // namespace

std::optional<int64_t> AccountStore::Create(const Account& account, const HeadImage* head) {
  DatabaseUse use(database_);
  if (!use.Begin()) return std::nullopt;
  Statement insert(use.handle(),
                   "INSERT INTO accounts(account, password_hash, uname, level, head_image, head_type, created_at)"
                   " VALUES(?, ?, ?, ?, ?, ?, ?)");
  insert.Bind(1, account.account).Bind(2, account.passwordHash).Bind(3, account.uname).Bind(4, account.level);
  if (head) {
    insert.BindBlob(5, head->bytes).Bind(6, head->type);
  } else {
    insert.BindNull(5).BindNull(6);
  }
  insert.Bind(7, static_cast<int64_t>(std::time(nullptr)));
  if (!insert.Run()) return std::nullopt;
  int64_t uid = use.LastInsertId();

  Statement profile(use.handle(),
                    "INSERT INTO profiles(uid, sex, age, heigh, weight, stepvalue) VALUES(?, ?, ?, ?, ?, ?)");
  const Profile& p = account.profile;
  profile.Bind(1, uid).Bind(2, p.sex).Bind(3, p.age).Bind(4, p.heigh).Bind(5, p.weight).Bind(6, p.stepvalue);
  if (!profile.Run()) return std::nullopt;
  for (const Task& task : account.tasks) {
    Statement insertTask(use.handle(), "INSERT INTO tasks(uid, value, unit) VALUES(?, ?, ?)");
    if (!insertTask.Bind(1, uid).Bind(2, task.value).Bind(3, task.unit).Run()) return std::nullopt;
  }
  Statement reminders(use.handle(),
                      "INSERT INTO reminders(uid, fri, ivi, msg, reshare, notice) VALUES(?, ?, ?, ?, ?, ?)");
  const Reminders& r = account.reminders;
  reminders.Bind(1, uid).Bind(2, r.fri).Bind(3, r.ivi).Bind(4, r.msg).Bind(5, r.reshare).Bind(6, r.notice);
  if (!reminders.Run() || !use.Commit()) return std::nullopt;
  return uid;
}

std::optional<Account> AccountStore::Load(DatabaseUse& use, const char* where, const std::string& key, int64_t id) {
  Statement query(use.handle(), std::string(kAccountColumns) + where);
  if (key.empty()) {
    query.Bind(1, id);
  } else {
    query.Bind(1, key);
  }
  if (!query.Step()) return std::nullopt;
  Account account = ReadAccount(query);
  account.tasks = ReadTasks(use, account.uid);
  return account;
}

std::optional<Account> AccountStore::Find(int64_t uid) {
  DatabaseUse use(database_);
  return Load(use, "WHERE a.uid = ?", {}, uid);
}

std::optional<Account> AccountStore::FindByName(const std::string& account) {
  if (account.empty()) return std::nullopt;
  DatabaseUse use(database_);
  return Load(use, "WHERE a.account = ?", account, 0);
}

std::vector<Account> AccountStore::List() {
  DatabaseUse use(database_);
  std::vector<Account> accounts;
  Statement query(use.handle(), std::string(kAccountColumns) + "ORDER BY a.uid");
  while (query.Step()) accounts.push_back(ReadAccount(query));
  for (Account& account : accounts) account.tasks = ReadTasks(use, account.uid);
  return accounts;
}

bool AccountStore::SetPasswordHash(int64_t uid, const std::string& hash) {
  DatabaseUse use(database_);
  Statement update(use.handle(), "UPDATE accounts SET password_hash = ? WHERE uid = ?");
  return update.Bind(1, hash).Bind(2, uid).Run() && sqlite3_changes(use.handle()) == 1;
}

bool AccountStore::SetReminders(int64_t uid, const Reminders& r) {
  DatabaseUse use(database_);
  Statement update(use.handle(),
                   "INSERT INTO reminders(uid, fri, ivi, msg, reshare, notice) VALUES(?, ?, ?, ?, ?, ?)"
                   " ON CONFLICT(uid) DO UPDATE SET fri = excluded.fri, ivi = excluded.ivi, msg = excluded.msg,"
                   " reshare = excluded.reshare, notice = excluded.notice");
  return update.Bind(1, uid).Bind(2, r.fri).Bind(3, r.ivi).Bind(4, r.msg).Bind(5, r.reshare).Bind(6, r.notice).Run();
}

bool AccountStore::ClearReminder(int64_t uid, const std::string& kind) {
  // The column name comes from this fixed list only, never from the request.
  static constexpr const char* kKinds[] = {"fri", "ivi", "msg", "reshare", "notice"};
  for (const char* known : kKinds) {
    if (kind != known) continue;
    DatabaseUse use(database_);
    Statement update(use.handle(), std::string("UPDATE reminders SET ") + known + " = 0 WHERE uid = ?");
    return update.Bind(1, uid).Run();
  }
  return false;
}

std::optional<HeadImage> AccountStore::FindHeadImage(int64_t uid) {
  DatabaseUse use(database_);
  Statement query(use.handle(), "SELECT head_type, head_image FROM accounts WHERE uid = ? AND head_image IS NOT NULL");
  query.Bind(1, uid);
  if (!query.Step()) return std::nullopt;
  return HeadImage{query.Text(0), query.Text(1)};
}

}  // namespace service
