#include "client/core/version/version.h"

#include <cstdio>

#include <gtest/gtest.h>

TEST(Version, ComparisonJoinsTheDigits) {
  EXPECT_EQ(CompareVersion("1.0.10.0", "1.1.0.0"), 1);   // 10100 against 1100
  EXPECT_EQ(CompareVersion("1.1.0.0", "1.0.10.0"), -1);
  EXPECT_EQ(CompareVersion("1.0.2.5", "10.2.5"), 0);
  EXPECT_EQ(CompareVersion("1.0.10.0", "1.0.9.9"), 1);
  EXPECT_EQ(CompareVersion("2.0.0.1", "2.0.0.1"), 0);
}

TEST(Version, ComparisonReadsLikeAWideStringToLongConversion) {
  EXPECT_EQ(CompareVersion("", "0"), 0);
  EXPECT_EQ(CompareVersion("abc", ""), 0);
  EXPECT_EQ(CompareVersion("  \t1.2", "12"), 0);
  EXPECT_EQ(CompareVersion("-1.0", "0"), -1);
  EXPECT_EQ(CompareVersion("+1.0", "10"), 0);
  EXPECT_EQ(CompareVersion("1.2 beta", "1.2.0"), -1);           // 12 against 120
  EXPECT_EQ(CompareVersion("99999999999", "2147483647"), 0);    // saturates
  EXPECT_EQ(CompareVersion("-99999999999", "-2147483648"), 0);
  EXPECT_EQ(CompareVersion("9.9.9.9.9.9.9.9.9.9.9", "2.1.4.7.4.8.3.6.4.7"), 0);
}

TEST(Version, ProgramsCarryTheProjectVersion) {
  EXPECT_EQ(GetFileVersionString(VERSION_PROBE), PROJECT_FILE_VERSION);
  FILE* pipe = popen(VERSION_PROBE, "r");
  ASSERT_NE(pipe, nullptr);
  char line[64] = {};
  ASSERT_NE(fgets(line, sizeof line, pipe), nullptr);
  pclose(pipe);
  EXPECT_EQ(std::string(line), std::string(PROJECT_FILE_VERSION) + "\n");
}
