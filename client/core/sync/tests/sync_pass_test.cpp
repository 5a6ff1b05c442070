#include <gtest/gtest.h>

#include "client/core/sync/tests/sync_rig.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

using namespace testing_support;

namespace {

std::string OneBlockHex(const std::array<uint8_t, 1024>& block) {
  std::string file;
  char hex[4];
  for (uint8_t b : block) {
    std::snprintf(hex, sizeof hex, "h%02x", b);
    file += hex;
  }
  return file;
}

}  // namespace

TEST(SyncPass, LiveThenStoredFramesGoUpForTheMatchingUser) {
  SyncRig rig;
  rig.PlugScale();
  UserRecord& u = rig.AddUser("1", 70.0f, true, false, false);
  rig.engine.DetectionTick();
  ASSERT_TRUE(u.Slot(DeviceKind::Scale).connected);

  rig.scale->SendLive(kScaleDeviceId, 70.4f);
  rig.scale->SendRaw(std::vector<uint8_t>(20, 0x30));  // not a frame
  rig.scale->SendStored(kScaleDeviceId, 69.8f, SecondsSince2000(FixedClock::LocalTime(2024, 5, 18, 7, 0, 0)), 1);
  rig.scale->SendStored(kScaleDeviceId, 70.1f, SecondsSince2000(FixedClock::LocalTime(2024, 5, 19, 7, 0, 0)), 2);
  rig.HandleFrames(3);
  ASSERT_EQ(rig.pending.Size(), 3u);

  rig.engine.SyncPass();
  EXPECT_TRUE(rig.pending.Empty());
  auto sent = rig.service.Requests("scale.weight.up");
  ASSERT_EQ(sent.size(), 3u);
  // The newest reading is given out first.
  EXPECT_EQ(sent[0]["weight"], "70.1");
  EXPECT_EQ(sent[0]["date"], "2024-05-19");
  EXPECT_EQ(sent[2]["weight"], "70.4");
  EXPECT_EQ(sent[2]["date"], "2024-05-20");
  EXPECT_EQ(sent[0]["scalecode"], "W15A0031C7");

  EXPECT_EQ(rig.notifier.opened, std::vector<int>{3});
  EXPECT_EQ(rig.notifier.Count(SyncNotifier::kItemUploaded), 3);
  EXPECT_EQ(rig.notifier.posted.back(), SyncNotifier::kPassFinished);
  EXPECT_EQ(rig.pacer.Waited(200), 3);
  EXPECT_EQ(u.uploadedThisPass, 3);
  EXPECT_FLOAT_EQ(u.standardweight, 70.4f) << "the last weight sent becomes the reference";
  EXPECT_TRUE(u.Slot(DeviceKind::Scale).syncState);
  EXPECT_EQ(u.Slot(DeviceKind::Scale).updatetime, "上一次同步时间为:2024-5-20 8:30:0");
  for (const auto& w : u.datalist) EXPECT_TRUE(w.uploaded);
  EXPECT_FALSE(rig.engine.Running());

  // Nothing new: the next pass does nothing at all.
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests().size(), 3u);
}

TEST(SyncPass, StoredFrameBeforeAnyLiveFrameNeverStartsAPass) {
  SyncRig rig;
  rig.PlugScale();
  rig.AddUser("1", 70.0f, true, false, false);
  rig.engine.DetectionTick();
  rig.scale->SendStored(kScaleDeviceId, 70.0f, 1000, 1);
  rig.HandleFrames(1);
  rig.engine.SyncPass();
  EXPECT_TRUE(rig.service.Requests().empty());
  EXPECT_TRUE(rig.scale->Acks().empty());
  EXPECT_TRUE(rig.notifier.opened.empty());
  EXPECT_TRUE(rig.notifier.alerts.empty());
}

TEST(SyncPass, ReadingsGoToTheFirstUserInRangeAndOthersAreDropped) {
  SyncRig rig;
  rig.PlugScale();
  UserRecord& first = rig.AddUser("1", 70.0f, true, false, false);
  UserRecord& second = rig.AddUser("2", 70.5f, true, false, false);
  UserRecord& unattached = rig.AddUser("3", 80.0f, false, false, false);
  rig.engine.DetectionTick();
  for (float kg : {70.8f, 71.3f, 80.0f, 60.0f}) rig.pending.Add({kg, "2024-05-20", false, false, "2024-05-20-08-00-00"});

  rig.settings.ShowUpdateWindow = false;
  rig.engine.SyncPass();
  ASSERT_EQ(first.datalist.size(), 1u);
  EXPECT_FLOAT_EQ(first.datalist[0].weight, 70.8f) << "both ranges hold 70.8; the first user takes it";
  ASSERT_EQ(second.datalist.size(), 1u);
  EXPECT_FLOAT_EQ(second.datalist[0].weight, 71.3f);
  EXPECT_TRUE(unattached.datalist.empty()) << "a user without the scale attached gets nothing";
  EXPECT_TRUE(rig.pending.Empty());
  EXPECT_TRUE(rig.notifier.opened.empty());
  EXPECT_EQ(rig.notifier.alerts, std::vector<std::string>{"uploadsuccess"});
}

TEST(SyncPass, AReadingThatFitsNoUserIsKeptUnassignedWithoutAPass) {
  SyncRig rig;
  rig.PlugScale();
  rig.AddUser("1", 70.0f, true, false, false);
  rig.engine.DetectionTick();
  rig.pending.Add({71.2f, "2024-05-20", false, false, "2024-05-20-08-00-00"});
  rig.engine.SyncPass();
  EXPECT_TRUE(rig.pending.Empty());
  EXPECT_TRUE(rig.users[0]->datalist.empty());
  EXPECT_TRUE(rig.service.Requests().empty());
  ASSERT_EQ(rig.held.Unassigned().size(), 1u);
  EXPECT_FLOAT_EQ(rig.held.Unassigned()[0].weight, 71.2f);

  // It is in the file, and comes back as unassigned when the client starts again.
  PendingWeights pending;
  HeldWeights again(pending, rig.folder.File(HeldWeights::kFileName));
  EXPECT_EQ(again.Load(rig.users), "");
  ASSERT_EQ(again.Unassigned().size(), 1u);
  EXPECT_EQ(again.Unassigned()[0].exacttime, "2024-05-20-08-00-00");
  EXPECT_TRUE(pending.Empty());
}

TEST(SyncPass, FailedWeightUploadEndsThePassAndTheWeightSurvivesAStore) {
  testing_support::TempFolder folder;
  std::string path = folder.File("userinfoset.xml");
  platform::WriteFileAtomically(path, "<?xml version=\"1.0\"?>\r\n<UserList>\r\n</UserList>\r\n");

  SyncRig rig;
  rig.PlugScale();
  UserRecord& first = rig.AddUser("1", 70.0f, true, false, false);
  UserRecord& later = rig.AddUser("2", 90.0f, true, false, false);
  rig.engine.DetectionTick();
  rig.pending.Add({70.2f, "2024-05-20", false, false, "2024-05-20-08-00-00"});
  rig.pending.Add({90.2f, "2024-05-20", false, false, "2024-05-20-08-01-00"});
  rig.service.SetRule([](const std::string&, const Form& f) {
    return f.at("user_id") == "1" ? std::string("<error_res><code>1</code></error_res>") : FakeService::DefaultAnswer("scale.weight.up");
  });
  rig.engine.SyncPass();
  EXPECT_EQ(rig.notifier.posted.back(), SyncNotifier::kPassFailed);
  EXPECT_EQ(rig.service.Requests("scale.weight.up").size(), 1u) << "later users wait";
  EXPECT_FALSE(rig.engine.Running());
  EXPECT_FALSE(first.Slot(DeviceKind::Scale).syncState);
  EXPECT_TRUE(first.Slot(DeviceKind::Scale).updatetime.empty());

  ASSERT_TRUE(UserStore::StoreAllAtQuit(rig.users, path));
  auto reloaded = UserStore::LoadAll(path);
  ASSERT_EQ(reloaded.size(), 2u);
  ASSERT_EQ(reloaded[0]->datalist.size(), 1u);
  EXPECT_FLOAT_EQ(reloaded[0]->datalist[0].weight, 70.2f);
  EXPECT_EQ(reloaded[1]->datalist.size(), 1u);

  // Unsent weights go up again without a new reading, once the back-off has passed: not at the next
  // tick, 5 s after the failure. Without the progress dialog, the pass ends in an alert.
  rig.service.SetRule(nullptr);
  rig.settings.ShowUpdateWindow = false;
  rig.clock.Advance(4);
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("scale.weight.up").size(), 1u) << "still within the back-off";
  EXPECT_TRUE(rig.notifier.alerts.empty()) << "a pass that sends nothing shows nothing";
  rig.clock.Advance(1);
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("scale.weight.up").size(), 1u + 2u);
  EXPECT_EQ(first.uploadedThisPass, 1);
  EXPECT_EQ(later.uploadedThisPass, 1);
  EXPECT_EQ(rig.notifier.alerts, std::vector<std::string>{"uploadsuccess"});
  EXPECT_FALSE(rig.engine.RetryBackoff().Failing());
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("scale.weight.up").size(), 3u) << "nothing is sent twice";
}

TEST(SyncPass, RetriesBackOffFrom5sTo10MinAndASuccessStartsAnew) {
  SyncRig rig;
  rig.PlugScale();
  rig.AddUser("1", 70.0f, true, false, false);
  rig.engine.DetectionTick();
  rig.settings.ShowUpdateWindow = false;
  rig.pending.Add({70.2f, "2024-05-20", false, false, "2024-05-20-08-00-00"});
  rig.service.SetRule([](const std::string&, const Form&) { return std::string("<error_res><code>1</code></error_res>"); });
  rig.engine.SyncPass();
  ASSERT_EQ(rig.service.Requests("scale.weight.up").size(), 1u);
  size_t sent = 1;
  for (int delay : {5, 30, 120, 600, 600}) {
    rig.clock.Advance(delay - 1);
    rig.engine.SyncPass();
    EXPECT_EQ(rig.service.Requests("scale.weight.up").size(), sent) << "not before " << delay << " s";
    rig.clock.Advance(1);
    rig.engine.SyncPass();
    EXPECT_EQ(rig.service.Requests("scale.weight.up").size(), ++sent) << "after " << delay << " s";
  }
  EXPECT_EQ(rig.notifier.alerts, std::vector<std::string>{"uploadfail"}) << "a failing retry is told once";
  // A new reading does not wait: it goes up at once, and the unsent one with it.
  rig.service.SetRule(nullptr);
  rig.pending.Add({70.4f, "2024-05-20", false, false, "2024-05-20-09-00-00"});
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("scale.weight.up").size(), sent + 2);
  EXPECT_FALSE(rig.engine.RetryBackoff().Failing());
  EXPECT_TRUE(rig.users[0]->datalist.back().uploaded);
}

TEST(SyncPass, UnsentReadingsGoUpWhileTheScaleIsNotAttached) {
  SyncRig rig;
  rig.PlugScale();
  UserRecord& u = rig.AddUser("1", 70.0f, true, false, false);
  rig.engine.DetectionTick();
  rig.settings.ShowUpdateWindow = false;
  rig.pending.Add({70.2f, "2024-05-20", false, false, "2024-05-20-08-00-00"});
  rig.service.SetRule([](const std::string&, const Form&) { return std::string("<error_res><code>1</code></error_res>"); });
  rig.engine.SyncPass();
  rig.scale->Unplug();
  rig.engine.DetectionTick();
  ASSERT_FALSE(u.Slot(DeviceKind::Scale).connected);
  rig.service.SetRule(nullptr);
  rig.clock.Advance(5);
  rig.engine.SyncPass();
  ASSERT_EQ(rig.service.Requests("scale.weight.up").size(), 2u);
  EXPECT_EQ(rig.service.Requests("scale.weight.up")[1].at("scalecode"), "W15A0031C7");
  EXPECT_TRUE(u.datalist[0].uploaded);
}

TEST(SyncPass, PedometerWithOneBlockIsUploadedWithoutClearDaysAndGetsItsProfile) {
  SyncRig rig;
  rig.PlugPedometer();
  rig.pedometer->AddDay(2024, 5, 20, 0x42);
  UserRecord& u = rig.AddUser("4660", 60, false, true, false);
  rig.engine.DetectionTick();
  rig.engine.SyncPass();

  auto sent = rig.service.Requests("ped.byte.up");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["pedcode"], "A10020240601");
  EXPECT_EQ(sent[0]["date"], "2024-5-20");
  EXPECT_EQ(sent[0]["file"], OneBlockHex(rig.pedometer->Block(0)));
  EXPECT_TRUE(rig.pedometer->Clears().empty());
  EXPECT_EQ(rig.pedometer->DayCount(), 1);
  auto profile = rig.pedometer->LastProfile();
  ASSERT_TRUE(profile);
  EXPECT_TRUE(profile->longForm);
  EXPECT_EQ(profile->weight, 65);
  EXPECT_EQ(profile->height, 172);
  EXPECT_EQ(profile->goal, 100);
  EXPECT_EQ(profile->unit, 1);
  EXPECT_EQ(profile->userId, 4660u);
  EXPECT_EQ(rig.pacer.Waited(500), 1);
  EXPECT_EQ(u.uploadedThisPass, 1);
  EXPECT_TRUE(u.Slot(DeviceKind::Pedometer).syncState);
  EXPECT_EQ(u.Slot(DeviceKind::Pedometer).updatetime, "上一次同步时间为:2024-5-20 8:30:0");
  EXPECT_EQ(rig.notifier.opened, std::vector<int>{1});

  // Read and cleared once per attachment.
  rig.engine.DetectionTick();
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 1u);
}

TEST(SyncPass, PedometerBlocksAreClearedOnlyWhenEveryDayWentUp) {
  SyncRig rig;
  rig.PlugPedometer();
  rig.pedometer->AddDay(2024, 5, 18);
  rig.pedometer->AddDay(2011, 1, 1);  // an unset clock's block: skipped, never sent
  rig.pedometer->AddDay(2024, 5, 20);
  rig.pedometer->SetQueryValue(std::nullopt);
  UserRecord& u = rig.AddUser("1", 60, false, true, false);
  rig.engine.DetectionTick();

  rig.service.SetRule([](const std::string&, const Form& f) -> std::string {
    if (f.at("date") == "2024-5-20") return "<error_res><msg>设备未绑定</msg></error_res>";
    return "<pedup_res/>";
  });
  rig.engine.SyncPass();
  EXPECT_EQ(rig.service.Requests("ped.byte.up").size(), 2u);
  EXPECT_TRUE(rig.pedometer->Clears().empty()) << "a day the service refused stays on the device";
  EXPECT_EQ(rig.pedometer->DayCount(), 3);
  ASSERT_EQ(rig.notifier.boxes.size(), 1u);
  EXPECT_EQ(rig.notifier.boxes[0], std::make_pair(std::string("设备未绑定"), std::string("数据传输错误")));
  EXPECT_EQ(rig.pacer.Waited(500), 3) << "a wait follows every block, skipped ones included";
  auto profile = rig.pedometer->LastProfile();
  ASSERT_TRUE(profile);
  EXPECT_FALSE(profile->longForm) << "a device without Query gets the short profile";
  EXPECT_EQ(rig.notifier.posted.back(), SyncNotifier::kPassFinished) << "a day not sent does not stop the pass";
  EXPECT_EQ(u.uploadedThisPass, 1);

  // Re-attached: everything goes up now, and all but the last block are cleared.
  rig.ReattachPedometer();
  rig.service.SetRule(nullptr);
  rig.engine.SyncPass();
  EXPECT_EQ(rig.pedometer->Clears(), std::vector<int>{2});
  EXPECT_EQ(rig.pedometer->DayCount(), 1);
}

TEST(SyncPass, DayAnswersWithoutMessageOrWithoutAnswerKeepTheDays) {
  SyncRig rig;
  rig.PlugPedometer();
  rig.pedometer->AddDay(2024, 5, 19);
  rig.pedometer->AddDay(2024, 5, 20);
  rig.AddUser("1", 60, false, true, false);
  rig.engine.DetectionTick();
  rig.service.SetRule([](const std::string&, const Form& f) -> std::string {
    return f.at("date") == "2024-5-19" ? "<error_res><code>3</code></error_res>" : "";
  });
  rig.engine.SyncPass();
  ASSERT_EQ(rig.notifier.boxes.size(), 1u) << "no answer shows no box";
  EXPECT_EQ(rig.notifier.boxes[0], std::make_pair(std::string("数据传输错误未知错误"), std::string("错误")));
  EXPECT_TRUE(rig.pedometer->Clears().empty());
}

TEST(SyncPass, TrackerDayRejectedAsInvalidCountsAsUploaded) {
  SyncRig rig;
  rig.PlugTracker();
  rig.tracker.StoreDay(2, 2024, 5, 18, "10,20,30");
  rig.tracker.StoreDay(7, 2024, 5, 19, "40,50");
  UserRecord& u = rig.AddUser("1", 60, false, false, true);
  rig.engine.DetectionTick();
  ASSERT_TRUE(u.Slot(DeviceKind::Pace700).connected);
  rig.service.SetRule([](const std::string&, const Form& f) -> std::string {
    return f.at("date") == "2024-05-19" ? "<error_res><msg>非法的每日运动数据</msg></error_res>" : "<pedup_res/>";
  });
  rig.engine.SyncPass();

  auto sent = rig.service.Requests("K700.byte.up");
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0]["date"], "2024-05-19") << "days go from index 29 down";
  EXPECT_EQ(sent[0]["pedcode"], "8800123456789");
  EXPECT_EQ(sent[0]["type"], "k690");
  EXPECT_EQ(sent[1]["file"], "10,20,30");
  EXPECT_EQ(u.uploadedThisPass, 2);
  EXPECT_TRUE(rig.notifier.boxes.empty());
  EXPECT_EQ(rig.tracker.Erases(), 1);
  EXPECT_EQ(rig.tracker.StoredDays(), 0);
  EXPECT_EQ(rig.notifier.opened, std::vector<int>{2});
  ASSERT_TRUE(rig.tracker.LastParameters());
  EXPECT_EQ(rig.tracker.LastParameters()->dailyGoal, 8000);
  EXPECT_EQ(rig.tracker.LastParameters()->goalUnit, 2);
  EXPECT_EQ(rig.tracker.LastParameters()->height, 172);
}

TEST(SyncPass, TrackerDaysThatFailAreKeptOnTheTracker) {
  SyncRig rig;
  rig.PlugTracker();
  rig.tracker.StoreDay(0, 2024, 5, 18, "1");
  rig.tracker.StoreDay(1, 2024, 5, 19, "2");
  rig.AddUser("1", 60, false, false, true);
  rig.engine.DetectionTick();
  rig.service.SetRule([](const std::string&, const Form& f) -> std::string {
    return f.at("date") == "2024-05-18" ? "" : "<pedup_res/>";
  });
  rig.engine.SyncPass();
  EXPECT_EQ(rig.tracker.Erases(), 0);
  EXPECT_EQ(rig.tracker.StoredDays(), 2);
  EXPECT_TRUE(rig.tracker.LastParameters()) << "the parameters are set all the same";
}

TEST(SyncPass, TrackerWithoutDaysStillGetsEraseParametersAndTimeWhenThePassRuns) {
  SyncRig rig;
  rig.PlugScale();
  rig.PlugTracker();
  UserRecord& u = rig.AddUser("1", 60, true, false, true);
  rig.engine.DetectionTick();
  rig.pending.Add({60.0f, "2024-05-20", false, false, "2024-05-20-08-00-00"});
  rig.engine.SyncPass();
  EXPECT_EQ(rig.notifier.opened, std::vector<int>{1}) << "the tracker adds nothing to the total";
  EXPECT_TRUE(rig.service.Requests("K700.byte.up").empty());
  EXPECT_EQ(rig.tracker.Erases(), 1);
  EXPECT_TRUE(rig.tracker.LastParameters());
  EXPECT_EQ(u.Slot(DeviceKind::Pace700).updatetime, "上一次同步时间为:2024-5-20 8:30:0");
  EXPECT_TRUE(u.Slot(DeviceKind::Pace700).syncState);
}

TEST(SyncPass, UnpluggingThePedometerMidPassLosesNoDay) {
  SyncRig rig;
  rig.PlugPedometer();
  for (int d = 15; d <= 18; ++d) rig.pedometer->AddDay(2024, 5, d);
  rig.AddUser("1", 60, false, true, false);
  rig.engine.DetectionTick();
  rig.service.SetRule([&](const std::string& method, const Form&) {
    rig.pedometer->Unplug();
    return FakeService::DefaultAnswer(method);
  });
  rig.engine.SyncPass();
  EXPECT_EQ(rig.pedometer->DayCount(), 4) << "nothing was cleared";
  EXPECT_FALSE(rig.hid.Connected());
  EXPECT_FALSE(rig.hid.Busy());
  EXPECT_FALSE(rig.engine.Running());

  // Unplugged while the pass reads the days: both reads fail and the pass fails.
  SyncRig again;
  again.PlugPedometer();
  again.pedometer->AddDay(2024, 5, 15);
  again.AddUser("1", 60, false, true, false);
  again.engine.DetectionTick();
  again.pedometer->ShortenReads(1000, 10);
  again.engine.SyncPass();
  EXPECT_TRUE(again.notifier.posted.empty()) << "no day was read, so there is nothing to report";
  again.pedometer->ShortenReads(0, 0);
  again.pacer.onPump = [&] { again.pedometer->Unplug(); };
  again.engine.SyncPass();
  EXPECT_EQ(again.pacer.Waited(100), 1);
  EXPECT_EQ(again.notifier.posted.back(), SyncNotifier::kPassFailed);
  EXPECT_EQ(again.pedometer->DayCount(), 1);
}

TEST(SyncPass, ProgressGoesToAnAlertWhenTheWindowIsNotShown) {
  SyncRig rig;
  rig.PlugScale();
  rig.AddUser("1", 60, true, false, false);
  rig.engine.DetectionTick();
  rig.frame.shownNormal = false;
  rig.pending.Add({60.0f, "2024-05-20", false, false, "2024-05-20-08-00-00"});
  rig.service.SetRule([](const std::string&, const Form&) { return std::string(); });
  rig.engine.SyncPass();
  EXPECT_TRUE(rig.notifier.opened.empty());
  EXPECT_TRUE(rig.notifier.posted.empty());
  EXPECT_EQ(rig.notifier.alerts, std::vector<std::string>{"uploadfail"});
}

TEST(SyncPass, TimerTickDuringAPassDoesNotStartASecond) {
  SyncRig rig;
  rig.PlugScale();
  rig.AddUser("1", 60, true, false, false);
  rig.engine.DetectionTick();
  rig.pending.Add({60.0f, "2024-05-20", false, false, "2024-05-20-08-00-00"});
  int nested = 0;
  rig.pacer.onPump = [&] {
    EXPECT_TRUE(rig.engine.Running());
    rig.pending.Add({60.1f, "2024-05-20", false, false, "2024-05-20-08-00-01"});
    rig.engine.SyncPass();
    ++nested;
  };
  rig.engine.SyncPass();
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(rig.service.Requests("scale.weight.up").size(), 1u);
  EXPECT_EQ(rig.pending.Size(), 1u) << "the reading that came during the pass waits for the next";
}
