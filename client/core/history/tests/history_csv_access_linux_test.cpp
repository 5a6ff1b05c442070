// An export into a folder the user may not write (POSIX modes; a read-only folder does not stop
// writing on Windows).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "client/core/history/history_csv.h"
#include "testing/temp_folder.h"

namespace {

TEST(HistoryCsvTest, AFolderThatCannotBeWrittenIsReported) {
  testing_support::TempFolder dir;
  if (geteuid() == 0) return;  // root writes into any folder
  ASSERT_EQ(chmod(dir.path().c_str(), 0500), 0);
  EXPECT_FALSE(ExportHistoryCsv(dir.path(), "a", "2026-01-01", UserHistory{{{"2026-03-01 07:10:00", 612, ""}}, {}}));
}

}  // namespace
