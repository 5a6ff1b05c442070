// The history as a user meets it: readings and tracker days going through real passes against the
// reference service and the simulated devices land in the local history; the main window's history
// page draws them, switches ranges and exports them as CSV into a folder the user picks.
#include <gtest/gtest.h>

#include <cmath>

#include "client/core/binding/device_binding.h"
#include "client/core/devices/local_time.h"
#include "client/core/history/history_csv.h"
#include "client/core/history/history_view.h"
#include "client/ui/frame/tests/frame_test_support.h"
#include "platform/file_io.h"
#include "platform/paths.h"

namespace {

using toolkit::headless::AdvanceTime;
using toolkit::headless::Click;

constexpr uint32_t kScaleDeviceId = 0x00C0FFEE;

class HistoryPageTest : public frame_testing::FrameTest {
 protected:
  void SetUp() override {
    FrameTest::SetUp();
    SeedUser("amy@example.com", "secret1");
    StartFrame();
    ASSERT_EQ(Users().size(), 1u);
    ASSERT_TRUE(Users()[0]->loggedIn);
    today = *DayNumber(DateText(LocalFields(std::time(nullptr))));
  }

  UserRecord& User() { return *Users()[0]; }
  HistoryStore& History() { return frame->Core().history; }

  // A month of weighings drifting down towards the reference weight, one a morning, some mornings
  // skipped, and the tracker's steps of each day.
  void SeedMonth() {
    for (int d = 29; d >= 1; --d) {
      std::string date = IsoOfDay(today - d);
      HistoryDay steps;
      steps.date = date;
      steps.kind = HistoryDayKind::Tracker;
      steps.steps = 5200 + (d * 3571) % 6400;
      steps.sleepMinutes = 400 + d % 60;
      steps.sentAt = date + " 21:00:00";
      ASSERT_TRUE(History().RecordDay(User().uid, steps));
      if (d % 6 == 4) continue;
      int tenths = static_cast<int>(std::lround(518 - (29 - d) * 0.45 + 3 * std::sin(d * 0.8)));
      ASSERT_TRUE(History().RecordWeight(User().uid, {date + " 07:1" + std::to_string(d % 10) + ":00", tenths,
                                                      d <= 2 ? "" : date + " 07:20:00"}));
    }
  }

  int today = 0;
};

}  // namespace

TEST_F(HistoryPageTest, PassesFillTheHistoryAndThePageDrawsAMonth) {
  // Nothing yet: the page says so instead of drawing an empty frame.
  ASSERT_TRUE(Click(main, "历史记录"));
  EXPECT_EQ(Text(main, "历史_次数"), "0");
  EXPECT_EQ(Text(main, "历史_最新"), "—");
  auto* chart = dynamic_cast<CChartUI*>(Control(main, "历史图表"));
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(chart->IsEmpty());
  Shot(main, "history-page-empty");

  // A weighing and two tracker days go up through real passes.
  DeviceBinding binding(frame->Core().api, frame->Core().pedometer, frame->Core().kit);
  PlugScale();
  PlugTracker();
  ASSERT_EQ(binding.Bind(DeviceKind::Scale, User(), std::string("W1") + client_testing::kScaleSerial).result, BindResult::Bound);
  BindStep tracked = binding.Bind(DeviceKind::Pace700, User(), std::to_string(client_testing::kTrackerId));
  ASSERT_EQ(tracked.result, BindResult::Bound) << tracked.notice.text;
  // Binding empties the tracker: the day is walked after it, and read at the next attachment.
  std::tm now = LocalFields(std::time(nullptr));
  tracker.StoreDay(0, now.tm_year + 1900, now.tm_mon + 1, now.tm_mday, "steps=9120,sleep=0");
  tracker.Detach();
  AdvanceTime(CFrameWindowWnd::kDetectionMs);
  PlugTracker();
  AdvanceTime(CFrameWindowWnd::kDetectionMs);
  scale->SendLive(kScaleDeviceId, 50.4f);
  ASSERT_TRUE(PumpUntil([&] { return frame->Core().pending.Size() == 1; }));
  AdvanceTime(CFrameWindowWnd::kSyncMs);
  ASSERT_TRUE(PumpUntil([&] { return !frame->Core().engine.Running(); }));

  UserHistory kept = History().Load(User().uid);
  ASSERT_EQ(kept.weights.size(), 1u);
  EXPECT_EQ(kept.weights[0].tenths, 504);
  EXPECT_TRUE(kept.weights[0].Sent());
  EXPECT_EQ(kept.weights[0].taken.substr(0, 10), IsoOfDay(today));
  ASSERT_EQ(kept.days.size(), 1u);
  EXPECT_EQ(kept.days[0].kind, HistoryDayKind::Tracker);
  EXPECT_EQ(kept.days[0].steps, 9120);
  // The page standing during the pass was drawn again after it.
  EXPECT_EQ(Text(main, "历史_最新"), "50.4 kg");
  EXPECT_EQ(Text(main, "历史_次数"), "1");
  Shot(main, "history-page-single");

  SeedMonth();
  ASSERT_TRUE(Click(main, "历史_近30天"));
  EXPECT_EQ(Text(main, "历史_未上传"), "2");
  EXPECT_EQ(Text(main, "历史_最新"), "50.4 kg");
  EXPECT_FALSE(chart->IsEmpty());
  Shot(main, "history-page-month");

  // Another slot and back keeps the page; the remembered tab is the history.
  ASSERT_TRUE(Click(main, "User1Btn"));
  EXPECT_TRUE(Shown(main, "历史图表"));
}

TEST_F(HistoryPageTest, ExportWritesTheHistoryIntoThePickedFolderAndSaysWhenItCannot) {
  SeedMonth();
  ASSERT_TRUE(Click(main, "历史记录"));
  ASSERT_TRUE(Click(main, "历史_全部"));
  std::string target = folder.File("exports");
  ASSERT_TRUE(platform::EnsureFolder(target));
  toolkit::headless::Desktop().QueueFolderAnswer(target);
  ASSERT_TRUE(Click(main, "历史_导出"));
  std::string name = HistoryCsvFileName(User().uname, IsoOfDay(today));
  EXPECT_NE(name.find(IsoOfDay(today)), std::string::npos);
  std::optional<std::string> text = platform::ReadWholeFile(target + "/" + name);
  ASSERT_TRUE(text) << Text(main, "历史_导出结果");
  EXPECT_EQ(*text, HistoryCsv(History().Load(User().uid)));
  EXPECT_EQ(text->substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_EQ(std::count(text->begin(), text->end(), '\n'), 1 + 29 + 29 - 5);  // header, days, weighings
  EXPECT_EQ(Text(main, "历史_导出结果"), "已导出到 " + target + "/" + name);

  // A cancelled picker writes nothing and says nothing.
  toolkit::headless::Desktop().QueueFolderAnswer(std::nullopt);
  ASSERT_TRUE(Click(main, "历史_导出"));
  EXPECT_EQ(Text(main, "历史_导出结果"), "已导出到 " + target + "/" + name);

  toolkit::headless::Desktop().QueueFolderAnswer(folder.File("gone"));
  ASSERT_TRUE(Click(main, "历史_导出"));
  EXPECT_EQ(Text(main, "历史_导出结果").rfind("导出失败", 0), 0u);
  Shot(main, "history-page-export-failed");
}
