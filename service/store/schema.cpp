#include "service/store/schema.h"

#include <array>

namespace service {
namespace {

// Step n turns a version n-1 database into version n. Never edit a step that has shipped; add one.
constexpr std::array kMigrations = {
    // 1: accounts with their profile, task and reminder counters; device bindings; uploads;
    //    login codes and site sessions; published releases.
    R"sql(
CREATE TABLE accounts(
  uid INTEGER PRIMARY KEY,
  account TEXT NOT NULL UNIQUE COLLATE NOCASE,
  password_hash TEXT NOT NULL,
  uname TEXT NOT NULL,
  level INTEGER NOT NULL DEFAULT 1,
  head_image BLOB,
  head_type TEXT,
  created_at INTEGER NOT NULL);
CREATE TABLE profiles(
  uid INTEGER PRIMARY KEY REFERENCES accounts(uid) ON DELETE CASCADE,
  sex INTEGER NOT NULL DEFAULT 0,
  age INTEGER NOT NULL DEFAULT 0,
  heigh INTEGER NOT NULL DEFAULT 0,
  weight INTEGER NOT NULL DEFAULT 0,
  stepvalue INTEGER NOT NULL DEFAULT 0);
CREATE TABLE tasks(
  id INTEGER PRIMARY KEY,
  uid INTEGER NOT NULL REFERENCES accounts(uid) ON DELETE CASCADE,
  value INTEGER NOT NULL,
  unit INTEGER NOT NULL);
CREATE INDEX tasks_by_uid ON tasks(uid);
CREATE TABLE reminders(
  uid INTEGER PRIMARY KEY REFERENCES accounts(uid) ON DELETE CASCADE,
  fri INTEGER NOT NULL DEFAULT 0,
  ivi INTEGER NOT NULL DEFAULT 0,
  msg INTEGER NOT NULL DEFAULT 0,
  reshare INTEGER NOT NULL DEFAULT 0,
  notice INTEGER NOT NULL DEFAULT 0);
CREATE TABLE bindings(
  kind INTEGER NOT NULL,
  uid INTEGER NOT NULL REFERENCES accounts(uid) ON DELETE CASCADE,
  code TEXT NOT NULL,
  bound_at INTEGER NOT NULL,
  PRIMARY KEY(kind, uid));
CREATE INDEX bindings_by_code ON bindings(kind, code);
CREATE TABLE weights(
  id INTEGER PRIMARY KEY,
  uid INTEGER NOT NULL REFERENCES accounts(uid) ON DELETE CASCADE,
  scalecode TEXT NOT NULL,
  day TEXT NOT NULL,
  weight_tenths INTEGER NOT NULL,
  received_at INTEGER NOT NULL);
CREATE INDEX weights_by_uid ON weights(uid, day);
CREATE TABLE day_uploads(
  id INTEGER PRIMARY KEY,
  kind INTEGER NOT NULL,
  uid INTEGER NOT NULL REFERENCES accounts(uid) ON DELETE CASCADE,
  pedcode TEXT NOT NULL,
  day TEXT NOT NULL,
  data TEXT NOT NULL,
  received_at INTEGER NOT NULL,
  UNIQUE(kind, uid, pedcode, day));
CREATE TABLE login_codes(
  code TEXT PRIMARY KEY,
  uid INTEGER NOT NULL REFERENCES accounts(uid) ON DELETE CASCADE,
  expires_at INTEGER NOT NULL);
CREATE INDEX login_codes_by_uid ON login_codes(uid, expires_at);
CREATE TABLE sessions(
  token TEXT PRIMARY KEY,
  uid INTEGER NOT NULL REFERENCES accounts(uid) ON DELETE CASCADE,
  expires_at INTEGER NOT NULL);
CREATE TABLE releases(
  id INTEGER PRIMARY KEY,
  version TEXT NOT NULL,
  file_name TEXT NOT NULL,
  published_at INTEGER NOT NULL);
)sql",
    // 2: the signature a release was published with (hex; empty when it was published unsigned).
    R"sql(
ALTER TABLE releases ADD COLUMN signature TEXT NOT NULL DEFAULT '';
)sql",
    // 3: a weight is kept once per member, scale, day and value, so a client's retried upload never
    //    makes a second row. Copies stored before this step are merged into the first that came.
    R"sql(
DELETE FROM weights WHERE id NOT IN (
  SELECT MIN(id) FROM weights GROUP BY uid, scalecode, day, weight_tenths);
CREATE UNIQUE INDEX weights_once ON weights(uid, scalecode, day, weight_tenths);
)sql",
};

int ReadVersion(DatabaseUse& use) {
  Statement query(use.handle(), "PRAGMA user_version");
  return query.Step() ? static_cast<int>(query.Int(0)) : -1;
}

}  // namespace

int CurrentSchemaVersion() { return static_cast<int>(kMigrations.size()); }

bool MigrateSchema(DatabaseUse& use, std::string& error) {
  int version = ReadVersion(use);
  if (version < 0) {
    error = std::string("not a readable database: ") + sqlite3_errmsg(use.handle());
    return false;
  }
  if (version > CurrentSchemaVersion()) {
    error = "schema version " + std::to_string(version) + " is newer than this program's (" +
            std::to_string(CurrentSchemaVersion()) + ")";
    return false;
  }
  for (int step = version + 1; step <= CurrentSchemaVersion(); ++step) {
    std::string setVersion = "PRAGMA user_version=" + std::to_string(step);
    if (!use.Begin() || !use.Exec(kMigrations[static_cast<size_t>(step - 1)]) || !use.Exec(setVersion.c_str()) ||
        !use.Commit()) {
      error = "migration to schema version " + std::to_string(step) + " failed: " + sqlite3_errmsg(use.handle());
      return false;
    }
  }
  return true;
}

}  // namespace service
