#include "platform/command_line.h"

#include <gtest/gtest.h>

using platform::CommandLineArgument;

TEST(CommandLine, PlainArgumentsStandAsTheyAre) {
  EXPECT_EQ(CommandLineArgument("/Startup"), "/Startup");
  EXPECT_EQ(CommandLineArgument("C:\\Vymera\\Vymera.exe"), "C:\\Vymera\\Vymera.exe");
  // Backslashes mean nothing unless a quote follows them.
  EXPECT_EQ(CommandLineArgument("a\\\\b\\"), "a\\\\b\\");
}

TEST(CommandLine, BlanksQuotesAndEmptyArgumentsAreQuoted) {
  EXPECT_EQ(CommandLineArgument(""), "\"\"");
  EXPECT_EQ(CommandLineArgument("C:\\Program Files\\Vymera\\Vymera.exe"), "\"C:\\Program Files\\Vymera\\Vymera.exe\"");
  EXPECT_EQ(CommandLineArgument("tab\there"), "\"tab\there\"");
  EXPECT_EQ(CommandLineArgument("say \"hi\""), "\"say \\\"hi\\\"\"");
}

TEST(CommandLine, BackslashesBeforeAQuoteOrTheClosingQuoteAreDoubled) {
  // A folder with a blank and a trailing backslash: undoubled, the last one would escape the quote.
  EXPECT_EQ(CommandLineArgument("C:\\a b\\"), "\"C:\\a b\\\\\"");
  EXPECT_EQ(CommandLineArgument("x\\\" y"), "\"x\\\\\\\" y\"");
  EXPECT_EQ(CommandLineArgument("中文 路径\\文件"), "\"中文 路径\\文件\"");
}
