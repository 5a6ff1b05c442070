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
  DatabaseUse use(database_);
  if (!use.Begin()) return false;
  for (Pending* pending : group) {
    // A savepoint per change, so that one change's failure rolls back that change alone.
    if (!use.Exec("SAVEPOINT one_change")) return false;
    pending->ok = (*pending->change)(use.handle());
    if (!pending->ok && !use.Exec("ROLLBACK TO one_change")) return false;
    if (!use.Exec("RELEASE one_change")) return false;
  }
  return use.Commit();
}

}  // namespace service
