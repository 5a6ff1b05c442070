#include "service/store/commit_group.h"

namespace service {

bool CommitGroup::Apply(const std::function<bool(sqlite3*)>& change) {
  Pending mine{&change};
  std::unique_lock lock(mutex_);
  waiting_.push_back(&mine);
  // The first thread to find no commit under way commits everything waiting, its own change among
  // them, and goes on while others arrived meanwhile; the rest wait for theirs to be done.
  while (!mine.done) {
    if (committing_) {
      finished_.wait(lock);
      continue;
    }
    committing_ = true;
    std::vector<Pending*> group;
    group.swap(waiting_);
    lock.unlock();
    // Nothing of a group whose transaction failed was stored, whatever its changes said.
    bool committed = RunGroup(group);
    lock.lock();
    for (Pending* pending : group) {
      pending->ok = pending->ok && committed;
      pending->done = true;
    }
    committing_ = false;
    finished_.notify_all();
  }
  return mine.ok;
}

bool CommitGroup::RunGroup(const std::vector<Pending*>& group) {
  if (!connection_.Open(database_.path()) || !connection_.Exec("BEGIN IMMEDIATE")) return false;
  bool applied = true;
  for (Pending* pending : group) {
    // A savepoint per change, so that one change's failure rolls back that change alone.
    if (!connection_.Exec("SAVEPOINT one_change")) {
      applied = false;
      break;
    }
    pending->ok = (*pending->change)(connection_.handle());
    if ((!pending->ok && !connection_.Exec("ROLLBACK TO one_change")) || !connection_.Exec("RELEASE one_change")) {
      applied = false;
      break;
    }
  }
  if (applied && connection_.Exec("COMMIT")) return true;
  // A transaction that failed at its commit (a deferred constraint) is still open.
  connection_.Exec("ROLLBACK");
  return false;
}

}  // namespace service
