#include "service/store/sqlite.h"

#include "service/store/schema.h"

namespace service {

Statement::Statement(sqlite3* db, std::string_view sql) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bind(int index, int64_t value) {
  if (stmt_) sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
  if (stmt_) sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

Statement& Statement::BindBlob(int index, std::string_view bytes) {
  if (stmt_) sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  return *this;
}

Statement& Statement::BindNull(int index) {
  if (stmt_) sqlite3_bind_null(stmt_, index);
  return *this;
}

bool Statement::Step() {
  if (!stmt_ || done_) return false;
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  done_ = rc == SQLITE_DONE;
  return false;
}

bool Statement::Run() {
  while (Step()) {
  }
  return done_;
}

int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::Text(int column) const {
  const void* data = sqlite3_column_blob(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  return data ? std::string(static_cast<const char*>(data), static_cast<size_t>(size)) : std::string();
}

DatabaseUse::DatabaseUse(Database& database) : lock_(database.mutex_), database_(database) {}

DatabaseUse::~DatabaseUse() {
  if (inTransaction_) sqlite3_exec(database_.db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

sqlite3* DatabaseUse::handle() const { return database_.db_; }

bool DatabaseUse::Exec(const char* sql) {
  return sqlite3_exec(database_.db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool DatabaseUse::Begin() {
  inTransaction_ = Exec("BEGIN IMMEDIATE");
  return inTransaction_;
}

bool DatabaseUse::Commit() {
  if (!inTransaction_ || !Exec("COMMIT")) return false;
  inTransaction_ = false;
  return true;
}

int64_t DatabaseUse::LastInsertId() const { return sqlite3_last_insert_rowid(database_.db_); }

Database::~Database() { sqlite3_close(db_); }

bool Database::Open(const std::string& path) {
  if (db_) return true;
  int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                           nullptr);
  if (rc != SQLITE_OK) {
    error_ = "cannot open database " + path + ": " + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
  }
  path_ = path;
  // The admin commands may write while the server runs; wait for their lock rather than fail.
  sqlite3_busy_timeout(db_, 5000);
  DatabaseUse use(*this);
  // WAL keeps readers and the one writer apart; FULL syncs every commit, so an answer that says
  // "stored" means stored even if the machine loses power right after.
  if (!use.Exec("PRAGMA journal_mode=WAL") || !use.Exec("PRAGMA synchronous=FULL") ||
      !use.Exec("PRAGMA foreign_keys=ON")) {
    error_ = "cannot use database " + path + ": " + sqlite3_errmsg(db_);
    return false;
  }
  std::string schemaError;
  if (!MigrateSchema(use, schemaError)) {
    error_ = "database " + path + ": " + schemaError;
    return false;
  }
  return true;
}

OwnConnection::~OwnConnection() { sqlite3_close(db_); }

bool OwnConnection::Open(const std::string& path) {
  if (db_) return true;
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
    sqlite3_close(db_);
    db_ = nullptr;
    return false;
  }
  sqlite3_busy_timeout(db_, 5000);
  if (Exec("PRAGMA synchronous=FULL") && Exec("PRAGMA foreign_keys=ON")) return true;
  sqlite3_close(db_);
  db_ = nullptr;
  return false;
}

bool OwnConnection::Exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

}  // namespace service
