#pragma once
// CommitGroup: changes that request threads make at the same moment share one transaction, and so
// one sync to disk. A sync takes longer than the change itself, so a commit per request would cap the
// uploads per second at the disk's syncs per second; grouped, every thread that arrives while one
// commit is under way joins the next. Each caller still returns only after its own change is
// committed, so an answer never says "stored" for a row that a crash could lose. The group writes
// on a connection of its own, so that the requests' reads on the database's connection go on while
// a commit waits for the disk, and their uploads gather for the next commit meanwhile.

#include <sqlite3.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "service/store/sqlite.h"

namespace service {

class CommitGroup {
 public:
  explicit CommitGroup(Database& database) : database_(database) {}
  CommitGroup(const CommitGroup&) = delete;
  CommitGroup& operator=(const CommitGroup&) = delete;

  // Runs change on the connection inside a transaction; a change that returns false is undone alone,
  // without touching the others of its group. True once the transaction holding it is committed and
  // the change itself succeeded.
  bool Apply(const std::function<bool(sqlite3*)>& change);

 private:
  struct Pending {
    const std::function<bool(sqlite3*)>* change;
    bool done = false;
    bool ok = false;
  };
  // Applies the group in one transaction and sets each one's ok; false when it was not committed.
  bool RunGroup(const std::vector<Pending*>& group);

  Database& database_;
  OwnConnection connection_;  // used by the committing thread alone
  std::mutex mutex_;
  std::condition_variable finished_;
  std::vector<Pending*> waiting_;
  bool committing_ = false;
};

}  // namespace service
