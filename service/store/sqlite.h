#pragma once
// Database: the service's one SQLite connection, shared by every request thread. Each use holds the
// connection's lock for its whole length, so a multi-statement change is never interleaved with
// another thread's; SQLite's own locking keeps the admin commands of another process apart.

#include <sqlite3.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace service {

// One prepared statement; finalised on destruction. Binding and column indexes start at 1 and 0
// as in SQLite. A statement that failed to prepare reports false from every Step.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, std::string_view text);
  Statement& BindBlob(int index, std::string_view bytes);
  Statement& BindNull(int index);

  // Advances one row: true while a row is available; false once finished or on a failure.
  bool Step();
  // Runs a statement that returns no rows; true when it completed.
  bool Run();

  int64_t Int(int column) const;
  std::string Text(int column) const;

 private:
  sqlite3_stmt* stmt_ = nullptr;
  bool done_ = false;
};

class Database;

// Exclusive use of the connection for as long as it lives. Begin/Commit make a transaction; a
// transaction still open when the use ends is rolled back, so an early return never half-applies.
class DatabaseUse {
 public:
  explicit DatabaseUse(Database& database);
  ~DatabaseUse();
  DatabaseUse(const DatabaseUse&) = delete;
  DatabaseUse& operator=(const DatabaseUse&) = delete;

  sqlite3* handle() const;
  // Runs statements without results; false (with nothing further run) on the first failure.
  bool Exec(const char* sql);
  // BEGIN IMMEDIATE: takes the write lock at once, so a read-then-write check cannot race another process.
  bool Begin();
  bool Commit();
  int64_t LastInsertId() const;

 private:
  std::unique_lock<std::mutex> lock_;
  Database& database_;
  bool inTransaction_ = false;
};

class Database {
 public:
  Database() = default;
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens or creates the file and brings its schema to the current version. False with error()
  // set when the file cannot be opened, is not a database, or holds a schema newer than this program.
  bool Open(const std::string& path);
  const std::string& error() const { return error_; }
  // The file Open was given; empty before.
  const std::string& path() const { return path_; }

 private:
  friend class DatabaseUse;
  std::mutex mutex_;
  sqlite3* db_ = nullptr;
  std::string path_;
  std::string error_;
};

// A connection of its own to a database file another Database opened, for one thread at a time:
// closed on destruction. Synced and waiting for locks as Database's own connection.
class OwnConnection {
 public:
  OwnConnection() = default;
  ~OwnConnection();
  OwnConnection(const OwnConnection&) = delete;
  OwnConnection& operator=(const OwnConnection&) = delete;

  // Opens path (an existing database) once; false when it cannot.
  bool Open(const std::string& path);
  sqlite3* handle() const { return db_; }
  // Runs statements without results; false on the first failure.
  bool Exec(const char* sql);

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace service
