#include "client/core/history/history_store.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// One prepared statement, finalised on every way out.
class Query {
 public:
  Query(sqlite3* db, const char* sql) {
    if (db && sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
  }
  ~Query() { sqlite3_finalize(stmt_); }
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  bool Ok() const { return stmt_ != nullptr; }
  Query& Text(int index, std::string_view text) {
    if (stmt_) sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Query& Int(int index, int64_t value) {
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
    return *this;
  }
  Query& MaybeInt(int index, std::optional<int> value) {
    if (stmt_ && value) return Int(index, *value);
    if (stmt_) sqlite3_bind_null(stmt_, index);
    return *this;
  }
  bool Row() { return stmt_ && sqlite3_step(stmt_) == SQLITE_ROW; }
  bool Run() { return stmt_ && sqlite3_step(stmt_) == SQLITE_DONE; }
  std::string ColumnText(int column) const {
    const unsigned char* t = sqlite3_column_text(stmt_, column);
    return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
  }
  int ColumnInt(int column) const { return sqlite3_column_int(stmt_, column); }
  std::optional<int> ColumnMaybeInt(int column) const {
    if (sqlite3_column_type(stmt_, column) == SQLITE_NULL) return std::nullopt;
    return ColumnInt(column);
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS weights(uid TEXT NOT NULL, taken TEXT NOT NULL, tenths INTEGER NOT NULL,"
    " sent_at TEXT NOT NULL DEFAULT '', PRIMARY KEY(uid, taken, tenths));"
    "CREATE TABLE IF NOT EXISTS days(uid TEXT NOT NULL, kind INTEGER NOT NULL, date TEXT NOT NULL,"
    " steps INTEGER, sleep INTEGER, sent_at TEXT NOT NULL DEFAULT '', PRIMARY KEY(uid, kind, date));";

}  // namespace

HistoryStore::HistoryStore(std::string path, Limits limits) : path_(std::move(path)), limits_(limits) {
  if (Open() && Prepare()) return;
  // Damaged, or not a database at all: kept aside for whoever wants to look, and begun afresh.
  sqlite3_close(db_);
  db_ = nullptr;
  std::error_code ec;
  for (int n = 1; n < 100; ++n) {
    std::string copy = path_ + ".damaged-" + std::to_string(n);
    if (std::filesystem::exists(copy, ec)) continue;
    std::filesystem::rename(path_, copy, ec);
    if (ec) return;
    // A journal left beside it belongs to the damaged file, not to the fresh one.
    std::filesystem::rename(path_ + "-journal", copy + "-journal", ec);
    damagedCopy_ = copy;
    break;
  }
  if (damagedCopy_.empty()) return;
  if (!Open() || !Prepare()) {
    sqlite3_close(db_);
    db_ = nullptr;
  }
}

HistoryStore::~HistoryStore() { sqlite3_close(db_); }

bool HistoryStore::Open() {
  if (sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    return false;
  }
  sqlite3_busy_timeout(db_, kBusyWaitMs);
  // A lost last row after a power cut is acceptable for a history; a slow pass is not.
  sqlite3_exec(db_, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  return true;
}

bool HistoryStore::Prepare() {
  Query check(db_, "PRAGMA quick_check");
  if (!check.Row() || check.ColumnText(0) != "ok") return false;
  return sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool HistoryStore::RecordWeight(std::string_view uid, const HistoryWeight& weight) {
  Query q(db_,
          "INSERT INTO weights(uid, taken, tenths, sent_at) VALUES(?1, ?2, ?3, ?4)"
          " ON CONFLICT(uid, taken, tenths) DO UPDATE SET sent_at = excluded.sent_at"
          " WHERE excluded.sent_at <> '' AND weights.sent_at = ''");
  if (!q.Text(1, uid).Text(2, weight.taken).Int(3, weight.tenths).Text(4, weight.sentAt).Run()) return false;
  Trim(uid);
  return true;
}

bool HistoryStore::RecordDay(std::string_view uid, const HistoryDay& day) {
  Query q(db_,
          "INSERT INTO days(uid, kind, date, steps, sleep, sent_at) VALUES(?1, ?2, ?3, ?4, ?5, ?6)"
          " ON CONFLICT(uid, kind, date) DO UPDATE SET steps = excluded.steps, sleep = excluded.sleep,"
          " sent_at = excluded.sent_at");
  q.Text(1, uid).Int(2, static_cast<int>(day.kind)).Text(3, day.date);
  if (!q.MaybeInt(4, day.steps).MaybeInt(5, day.sleepMinutes).Text(6, day.sentAt).Run()) return false;
  Trim(uid);
  return true;
}

void HistoryStore::Trim(std::string_view uid) {
  Query weights(db_,
                "DELETE FROM weights WHERE uid = ?1 AND rowid NOT IN"
                " (SELECT rowid FROM weights WHERE uid = ?1 ORDER BY taken DESC LIMIT ?2)");
  weights.Text(1, uid).Int(2, static_cast<int64_t>(limits_.weights)).Run();
  Query days(db_,
             "DELETE FROM days WHERE uid = ?1 AND rowid NOT IN"
             " (SELECT rowid FROM days WHERE uid = ?1 ORDER BY date DESC LIMIT ?2)");
  days.Text(1, uid).Int(2, static_cast<int64_t>(limits_.days)).Run();
}

UserHistory HistoryStore::Load(std::string_view uid) const {
  UserHistory history;
  Query w(db_, "SELECT taken, tenths, sent_at FROM weights WHERE uid = ?1 ORDER BY taken, tenths");
  w.Text(1, uid);
  while (w.Row()) history.weights.push_back({w.ColumnText(0), w.ColumnInt(1), w.ColumnText(2)});
  Query d(db_, "SELECT date, kind, steps, sleep, sent_at FROM days WHERE uid = ?1 ORDER BY date, kind");
  d.Text(1, uid);
  while (d.Row()) {
    HistoryDay day;
    day.date = d.ColumnText(0);
    day.kind = d.ColumnInt(1) == 1 ? HistoryDayKind::Tracker : HistoryDayKind::Pedometer;
    day.steps = d.ColumnMaybeInt(2);
    day.sleepMinutes = d.ColumnMaybeInt(3);
    day.sentAt = d.ColumnText(4);
    history.days.push_back(std::move(day));
  }
  return history;
}
