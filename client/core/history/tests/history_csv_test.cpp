#include <gtest/gtest.h>

#include "client/core/history/history_csv.h"
#include "platform/file_io.h"
#include "platform/tests/comma_locale.h"
#include "testing/temp_folder.h"

namespace {

UserHistory Sample() {
  UserHistory h;
  h.weights = {{"2026-03-01 07:10:00", 612, "2026-03-01 07:10:05"}, {"2026-03-02 07:20:00", 609, ""}};
  HistoryDay tracker;
  tracker.date = "2026-03-01";
  tracker.kind = HistoryDayKind::Tracker;
  tracker.steps = 8012;
  tracker.sleepMinutes = 431;
  tracker.sentAt = "2026-03-02 09:00:00";
  HistoryDay pedometer;
  pedometer.date = "2026-02-28";
  pedometer.sentAt = "2026-03-01 09:00:00";
  h.days = {pedometer, tracker};
  return h;
}

}  // namespace

TEST(HistoryCsvTest, ExportReadsBackAsWrittenUnderACommaLocale) {
  testing_support::CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Missing();
  testing_support::TempFolder dir;
  std::optional<std::string> path = ExportHistoryCsv(dir.path(), "小明", "2026-03-03", Sample());
  ASSERT_TRUE(path);
  EXPECT_EQ(*path, dir.File("Vymera_小明_2026-03-03.csv"));
  std::optional<std::string> text = platform::ReadWholeFile(*path);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "\xEF\xBB\xBF"
            "类型,日期,时间,体重(kg),步数,睡眠(分钟),已上传,上传时间\r\n"
            "计步器,2026-02-28,,,,,是,2026-03-01 09:00:00\r\n"
            "体重,2026-03-01,07:10:00,61.2,,,是,2026-03-01 07:10:05\r\n"
            "运动追踪器,2026-03-01,,,8012,431,是,2026-03-02 09:00:00\r\n"
            "体重,2026-03-02,07:20:00,60.9,,,否,\r\n");
}

TEST(HistoryCsvTest, EmptyHistoryIsTheHeaderAlone) {
  EXPECT_EQ(HistoryCsv({}), std::string(kCsvByteOrderMark) + std::string(kHistoryCsvHeader) + "\r\n");
}

TEST(HistoryCsvTest, FileNamesHoldNoPathCharactersAndStayBounded) {
  EXPECT_EQ(HistoryCsvFileName("a/b\\c:d*e?f\"g<h>i|j\n", "2026-01-01"), "Vymera_a_b_c_d_e_f_g_h_i_j__2026-01-01.csv");
  EXPECT_EQ(HistoryCsvFileName("..", "2026-01-01"), "Vymera_2026-01-01.csv");
  EXPECT_EQ(HistoryCsvFileName("", "2026-01-01"), "Vymera_2026-01-01.csv");
  std::string longName;
  for (int i = 0; i < 100; ++i) longName += "名";
  std::string name = HistoryCsvFileName(longName, "2026-01-01");
  EXPECT_LE(name.size(), 7u + 62u + 1u + 14u);
  EXPECT_EQ(name.substr(name.size() - 15), "_2026-01-01.csv");  // cut between characters, not inside one
  EXPECT_EQ((name.size() - 7 - 15) % 3, 0u);
}

TEST(HistoryCsvTest, AMissingFolderIsReported) {
  testing_support::TempFolder dir;
  EXPECT_FALSE(ExportHistoryCsv(dir.File("no/such/folder"), "a", "2026-01-01", Sample()));
}
