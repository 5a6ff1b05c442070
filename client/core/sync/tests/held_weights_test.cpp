// The readings the client holds outside the users' lists survive an end of the client at any moment,
// are bounded, and are never kept twice.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "client/core/sync/held_weights.h"
#include "client/core/sync/tests/sync_rig.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

using namespace testing_support;

namespace {

WeightRecord Reading(float kg, int minute) {
  char exact[32];
  std::snprintf(exact, sizeof exact, "2024-05-20-08-%02d-00", minute);
  return {kg, "2024-05-20", false, false, exact};
}

// A client started afresh from the files in folder.
struct Restarted {
  explicit Restarted(const TempFolder& folder, const UserList& users = {})
      : held(pending, folder.File(HeldWeights::kFileName)) {
    copy = held.Load(users);
  }
  PendingWeights pending;
  HeldWeights held;
  std::string copy;
};

}  // namespace

TEST(HeldWeights, APendingReadingIsInTheFileBeforeItIsTakenAndNotTakenWhenTheFileCannotBeWritten) {
  TempFolder folder;
  PendingWeights pending;
  HeldWeights held(pending, folder.File(HeldWeights::kFileName));
  ASSERT_TRUE(pending.Add(Reading(68.4f, 1)));
  Restarted again(folder);
  ASSERT_EQ(again.pending.Size(), 1u) << "pending again after a restart";
  EXPECT_FLOAT_EQ(again.pending.Readings()[0].weight, 68.4f);

  // A folder that cannot be written: the reading is refused, so the scale is not told to forget it.
  ASSERT_EQ(chmod(folder.path().c_str(), 0500), 0);
  if (access(folder.File("probe").c_str(), F_OK) != 0 && !platform::WriteFileAtomically(folder.File("probe"), "x")) {
    EXPECT_FALSE(pending.Add(Reading(70.0f, 2)));
    EXPECT_EQ(pending.Size(), 1u);
  }
  chmod(folder.path().c_str(), 0700);
}

TEST(HeldWeights, TheListsTogetherHoldAtMostTheBoundAndRefuseBeyondIt) {
  TempFolder folder;
  PendingWeights pending;
  HeldWeights held(pending, folder.File(HeldWeights::kFileName));
  for (size_t i = 0; i + 1 < HeldWeights::kMaxHeld; ++i) held.AddUnassigned(Reading(60.0f, static_cast<int>(i % 60)));
  ASSERT_TRUE(held.Save());
  EXPECT_FALSE(held.Full());
  EXPECT_TRUE(pending.Add(Reading(61.0f, 1)));
  EXPECT_TRUE(held.Full());
  EXPECT_FALSE(pending.Add(Reading(62.0f, 2))) << "refused, so the scale keeps it";
  ASSERT_TRUE(held.Discard(0));
  EXPECT_TRUE(pending.Add(Reading(62.0f, 2)));
}

TEST(HeldWeights, ADamagedFileKeepsItsReadableReadingsAndIsKeptBeside) {
  TempFolder folder;
  std::string path = folder.File(HeldWeights::kFileName);
  std::string text =
      "<?xml version=\"1.0\"?>\r\n<HeldList>\r\n"
      "<scaledata weight=\"68.4\" time=\"2024-05-20\" exacttime=\"2024-05-20-08-00-00\" state=\"unassigned\"/>\r\n"
      "<scaledata weight=\"1e9\" time=\"2024-05-20\" exacttime=\"2024-05-20-08-01-00\" state=\"unassigned\"/>\r\n"
      "<scaledata weight=\"70,1\" time=\"x&lt;y\" exacttime=\"2024-05-20-08-02-00\" state=\"unassigned\"/>\r\n"
      "<scaledata weight=\"71.0\" time=\"2024-05-20\" exacttime=\"2024-05-20-08-03-00\" state=\"pending\"/>\r\n"
      "<scaledata weight=\"72.0\" time=\"2024-05-";
  ASSERT_TRUE(platform::WriteFileAtomically(path, text));
  Restarted again(folder);
  EXPECT_EQ(again.copy, path + ".damaged-1");
  EXPECT_EQ(platform::ReadWholeFile(again.copy), text);
  ASSERT_EQ(again.held.Unassigned().size(), 1u);
  EXPECT_FLOAT_EQ(again.held.Unassigned()[0].weight, 68.4f);
  ASSERT_EQ(again.pending.Size(), 1u);
  Restarted third(folder);
  EXPECT_EQ(third.copy, "") << "the list written in its place is sound";
  EXPECT_EQ(third.held.Unassigned().size(), 1u);
}

TEST(HeldWeights, AReadingTheUserFileGotBeforeTheHeldFileCouldSaySoIsNotHeldTwice) {
  TempFolder folder;
  {
    PendingWeights pending;
    HeldWeights held(pending, folder.File(HeldWeights::kFileName));
    pending.Add(Reading(68.4f, 1));
    pending.Add(Reading(80.0f, 2));
  }
  UserList users;
  users.push_back(std::make_unique<UserRecord>());
  users[0]->datalist.push_back(Reading(68.4f, 1));
  Restarted again(folder, users);
  ASSERT_EQ(again.pending.Size(), 1u);
  EXPECT_FLOAT_EQ(again.pending.Readings()[0].weight, 80.0f);
}

TEST(HeldWeights, APassWhoseUserStoreFailsLeavesTheReadingPendingInTheFileAndSettlesLater) {
  SyncRig rig;
  rig.PlugScale();
  rig.AddUser("1", 70.0f, true, false, false);
  rig.engine.DetectionTick();
  rig.settings.ShowUpdateWindow = false;
  rig.keeping.failing = true;  // the user file's disk is full
  rig.service.SetRule([](const std::string&, const Form&) { return std::string("<error_res><code>1</code></error_res>"); });
  ASSERT_TRUE(rig.pending.Add(Reading(70.2f, 1)));
  rig.engine.SyncPass();
  ASSERT_EQ(rig.users[0]->datalist.size(), 1u);
  {
    // The client ends now: started again from its files, the reading is offered again.
    Restarted again(rig.folder, UserStore::LoadAll(rig.folder.File(UserStore::kFileName)));
    EXPECT_EQ(again.pending.Size(), 1u);
  }
  rig.keeping.failing = false;
  rig.service.SetRule(nullptr);
  rig.clock.Advance(5);
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("scale.weight.up").size(), 2u);
  UserList stored = UserStore::LoadAll(rig.folder.File(UserStore::kFileName));
  Restarted again(rig.folder, stored);
  EXPECT_TRUE(again.pending.Empty()) << "settled once the user file had it";
  EXPECT_TRUE(again.held.Unassigned().empty());
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_TRUE(stored[0]->datalist.empty()) << "uploaded readings are not written";
}
