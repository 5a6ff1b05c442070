// Changes of many threads committed together: each caller learns the fate of its own change.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "testing/temp_folder.h"
#include "service/store/commit_group.h"
#include "service/store/sqlite.h"

namespace service {
namespace {

// Inserts x into the test table; false when the insert failed (x is taken).
bool Insert(sqlite3* db, int64_t x) { return Statement(db, "INSERT INTO t(x) VALUES(?)").Bind(1, x).Run(); }

int64_t Count(Database& database) {
  DatabaseUse use(database);
  Statement query(use.handle(), "SELECT COUNT(*) FROM t");
  return query.Step() ? query.Int(0) : -1;
}

class CommitGroupTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(database_.Open(folder_.File("g.db")));
    DatabaseUse use(database_);
    ASSERT_TRUE(use.Exec("CREATE TABLE t(x INTEGER UNIQUE)"));
  }
  testing_support::TempFolder folder_;
  Database database_;
};

TEST_F(CommitGroupTest, EveryChangeOfManyThreadsIsCommittedAndReportedOnce) {
  CommitGroup group(database_);
  constexpr int kThreads = 16;
  constexpr int kEach = 40;
  std::atomic<int> stored{0};
  std::atomic<int> refused{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      // Every value twice, from two threads: exactly one of each pair may succeed.
      for (int i = 0; i < kEach; ++i) {
        int64_t x = (t / 2) * kEach + i;
        (group.Apply([x](sqlite3* db) { return Insert(db, x); }) ? stored : refused)++;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(stored.load(), kThreads * kEach / 2);
  EXPECT_EQ(refused.load(), kThreads * kEach / 2);
  EXPECT_EQ(Count(database_), kThreads * kEach / 2);
}

TEST_F(CommitGroupTest, AFailedChangeIsUndoneAloneInItsGroup) {
  CommitGroup group(database_);
  bool first = false, failed = true, second = false;
  std::thread leader, others;
  {
    // While another transaction holds the write lock, the first change waits to commit and the
    // next two queue up behind it, to be committed together.
    DatabaseUse held(database_);
    ASSERT_TRUE(held.Begin());
    leader = std::thread([&] { first = group.Apply([](sqlite3* db) { return Insert(db, 1); }); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    others = std::thread([&] {
      std::thread failing([&] {
        // Its insert goes through, and then it reports failure: the row must not stay.
        failed = group.Apply([](sqlite3* db) { return Insert(db, 2) && false; });
      });
      second = group.Apply([](sqlite3* db) { return Insert(db, 3); });
      failing.join();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  leader.join();
  others.join();
  EXPECT_TRUE(first);
  EXPECT_FALSE(failed);
  EXPECT_TRUE(second);
  DatabaseUse use(database_);
  Statement rows(use.handle(), "SELECT group_concat(x) FROM (SELECT x FROM t ORDER BY x)");
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.Text(0), "1,3");
}

TEST_F(CommitGroupTest, NothingIsReportedStoredWhenTheCommitFails) {
  CommitGroup group(database_);
  {
    DatabaseUse use(database_);
    // A deferred constraint fails at the commit, not at the change.
    ASSERT_TRUE(use.Exec("CREATE TABLE parent(id INTEGER PRIMARY KEY);"
                         "CREATE TABLE child(p INTEGER REFERENCES parent(id) DEFERRABLE INITIALLY DEFERRED)"));
  }
  bool stored = group.Apply([](sqlite3* db) { return Statement(db, "INSERT INTO child(p) VALUES(7)").Run(); });
  EXPECT_FALSE(stored);
  DatabaseUse use(database_);
  Statement rows(use.handle(), "SELECT COUNT(*) FROM child");
  ASSERT_TRUE(rows.Step());
  EXPECT_EQ(rows.Int(0), 0);
}

}  // namespace
}  // namespace service
