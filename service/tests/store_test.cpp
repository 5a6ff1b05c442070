// The database file: schema versions, and what the stores keep.

#include <gtest/gtest.h>

#include "testing/temp_folder.h"
#include "service/store/account_store.h"
#include "service/store/password_hash.h"
#include "service/store/schema.h"
#include "service/store/session_store.h"
#include "service/store/sqlite.h"
#include "service/store/upload_store.h"

namespace service {
namespace {

// An account with only what the store requires.
Account Li() {
  Account li;
  li.account = "li@example.com";
  li.passwordHash = "x";
  li.uname = "李";
  return li;
}

TEST(Database, CreatesTheCurrentSchemaAndReopensIt) {
  testing_support::TempFolder folder;
  {
    Database database;
    ASSERT_TRUE(database.Open(folder.File("s.db"))) << database.error();
    DatabaseUse use(database);
    Statement version(use.handle(), "PRAGMA user_version");
    ASSERT_TRUE(version.Step());
    EXPECT_EQ(version.Int(0), CurrentSchemaVersion());
  }
  Database again;
  EXPECT_TRUE(again.Open(folder.File("s.db"))) << again.error();
}

TEST(Database, RefusesFilesItCannotUse) {
  testing_support::TempFolder folder;
  {
    Database database;
    ASSERT_TRUE(database.Open(folder.File("new.db")));
    DatabaseUse use(database);
    ASSERT_TRUE(use.Exec("PRAGMA user_version=99"));
  }
  Database newer;
  EXPECT_FALSE(newer.Open(folder.File("new.db")));
  EXPECT_NE(newer.error().find("newer"), std::string::npos);

  std::FILE* file = std::fopen(folder.File("text.db").c_str(), "w");
  std::fputs("this is not a database, only some text that is long enough to be read as a header\n", file);
  std::fclose(file);
  Database text;
  EXPECT_FALSE(text.Open(folder.File("text.db")));
  Database missingFolder;
  EXPECT_FALSE(missingFolder.Open(folder.File("no/such/folder.db")));
}

TEST(Database, RollsBackAChangeLeftUnfinished) {
  testing_support::TempFolder folder;
  Database database;
  ASSERT_TRUE(database.Open(folder.File("s.db")));
  AccountStore accounts(database);
  Account li = Li();
  li.tasks = {{1, 9}, {2, 0}};
  ASSERT_TRUE(accounts.Create(li));
  // The same name again fails at the first insert and leaves nothing of itself behind.
  li.account = "LI@example.com";
  EXPECT_FALSE(accounts.Create(li).has_value());
  EXPECT_EQ(accounts.List().size(), 1u);
  EXPECT_EQ(accounts.List()[0].tasks.size(), 2u);
}

// A database of the version before weights were kept once may hold copies of a retried upload:
// opening it merges them into the first and keeps every distinct reading.
TEST(Database, UpgradingMergesCopiesOfAWeightIntoTheFirst) {
  testing_support::TempFolder folder;
  int64_t uid = 0;
  {
    Database database;
    ASSERT_TRUE(database.Open(folder.File("s.db")));
    AccountStore accounts(database);
    uid = accounts.Create(Li()).value_or(0);
    DatabaseUse use(database);
    ASSERT_TRUE(use.Exec("DROP INDEX weights_once; PRAGMA user_version=2;"));
    std::string insert = "INSERT INTO weights(uid, scalecode, day, weight_tenths, received_at) VALUES";
    for (const char* row : {"(?1, 'W1A', '2024-03-05', 507, 1)", "(?1, 'W1A', '2024-03-05', 507, 2)",
                            "(?1, 'W1A', '2024-03-05', 508, 3)", "(?1, 'W1A', '2024-03-06', 507, 4)",
                            "(?1, 'W1A', '2024-03-05', 507, 5)"}) {
      Statement add(use.handle(), insert + row);
      ASSERT_TRUE(add.Bind(1, uid).Run());
    }
  }
  Database upgraded;
  ASSERT_TRUE(upgraded.Open(folder.File("s.db"))) << upgraded.error();
  UploadStore uploads(upgraded);
  std::vector<WeightRow> rows = uploads.WeightsOf(uid);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].receivedAt, 1);  // the first copy is the one kept
  EXPECT_EQ(rows[1].weightTenths, 508);
  EXPECT_EQ(rows[2].day, "2024-03-06");
  EXPECT_EQ(uploads.AddWeight(uid, "W1A", "2024-03-05", 507, 9), UploadOutcome::Repeated);
  EXPECT_EQ(uploads.AddWeight(uid, "W1A", "2024-03-05", 509, 9), UploadOutcome::Stored);
}

TEST(PasswordHash, VerifiesOnlyTheSamePassword) {
  std::string hash = HashPassword("密码&1");
  EXPECT_EQ(hash.rfind("$argon2id$v=19$m=19456,t=2,p=1$", 0), 0u) << hash;
  EXPECT_TRUE(IsCurrentHash(hash));
  EXPECT_TRUE(VerifyPassword("密码&1", hash));
  EXPECT_FALSE(VerifyPassword("密码&2", hash));
  EXPECT_FALSE(VerifyPassword("", hash));
  EXPECT_NE(HashPassword("密码&1"), hash);  // salted
  EXPECT_EQ(hash.find("密码"), std::string::npos);
  for (const char* broken : {"", "plain", "pbkdf2-sha256$0$aa$bb", "pbkdf2-sha256$x$aa$bb", "md5$1$aa$bb",
                             "$argon2id$v=19$", "$argon2id$v=19$m=19456,t=2$aa$bb", "$argon2i$v=19$m=8,t=1,p=1$aa$bb"})
    EXPECT_FALSE(VerifyPassword("", broken)) << broken;
}

TEST(PasswordHash, HashesOfOlderServicesStillVerifyButAreNotCurrent) {
  // What the service stored before Argon2id: 10,000 rounds of PBKDF2-SHA256 over "demo123".
  const std::string pbkdf2 =
      "pbkdf2-sha256$10000$00112233445566778899aabbccddeeff$"
      "d32ecd85d09f86adbbb4e2a3020075058fd914005c83d43ccf595c39a42d6ee2";
  EXPECT_TRUE(VerifyPassword("demo123", pbkdf2));
  EXPECT_FALSE(VerifyPassword("demo124", pbkdf2));
  EXPECT_FALSE(IsCurrentHash(pbkdf2));

  SetPasswordCost({64, 1});
  std::string cheap = HashPassword("demo123");
  SetPasswordCost({});
  EXPECT_EQ(cheap.rfind("$argon2id$v=19$m=64,t=1,p=1$", 0), 0u) << cheap;
  EXPECT_TRUE(VerifyPassword("demo123", cheap));
  EXPECT_FALSE(IsCurrentHash(cheap));
}

TEST(PasswordHash, ADamagedRowAskingForHugeCostsIsRefusedWithoutTheWork) {
  std::string hash = HashPassword("pw");
  std::string tail = hash.substr(hash.find("$", std::string("$argon2id$v=19$").size()));
  for (const char* parameters : {"m=4194304,t=2,p=1", "m=19456,t=100000,p=1", "m=19456,t=2,p=255", "m=0,t=2,p=1",
                                 "m=19456,t=2,p=1,x=1", "t=2,m=19456,p=1"}) {
    EXPECT_FALSE(VerifyPassword("pw", "$argon2id$v=19$" + std::string(parameters) + tail)) << parameters;
    EXPECT_FALSE(IsCurrentHash("$argon2id$v=19$" + std::string(parameters) + tail)) << parameters;
  }
  EXPECT_FALSE(VerifyPassword("demo123", "pbkdf2-sha256$4000000000$00$" + std::string(64, '0')));
  EXPECT_FALSE(VerifyPassword("pw", hash + std::string(600, 'A')));
}

TEST(SessionStore, LoginCodesAndSessionsExpire) {
  testing_support::TempFolder folder;
  Database database;
  ASSERT_TRUE(database.Open(folder.File("s.db")));
  AccountStore accounts(database);
  int64_t uid = accounts.Create(Li()).value_or(0);
  SessionStore sessions(database);
  const int64_t day = 24 * 3600;
  std::string code = sessions.LoginCodeFor(uid, 1000);
  EXPECT_EQ(sessions.LoginCodeFor(uid, 1000 + 5 * day), code);
  std::string next = sessions.LoginCodeFor(uid, 1000 + 6 * day + 1);  // less than a day left: a fresh one
  EXPECT_NE(next, code);
  EXPECT_EQ(sessions.UidForLoginCode(code, 1000 + 6 * day + 1), uid);  // the old one still works until it ends
  EXPECT_FALSE(sessions.UidForLoginCode(code, 1000 + 7 * day).has_value());
  std::string token = sessions.OpenSession(uid, 1000);
  EXPECT_EQ(sessions.UidForSession(token, 1000 + day - 1), uid);
  EXPECT_FALSE(sessions.UidForSession(token, 1000 + day).has_value());
  EXPECT_FALSE(sessions.UidForSession("", 1000).has_value());
}

}  // namespace
}  // namespace service
