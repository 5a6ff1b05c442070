#include <windows.h>
// After windows.h.
#include <shellapi.h>

#include <gtest/gtest.h>

#include "platform/command_line.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/text.h"
#include "platform/wide_text.h"
#include "testing/bounded_wait.h"
#include "testing/temp_folder.h"

using testing_support::TempFolder;

namespace {

// What the probe left in folder: its current folder and argument count, in the programs' form.
std::string ProbeReport(const std::string& folder) {
  std::string path = platform::JoinPath(folder, "probe.txt");
  if (!testing_support::WaitUntil([&] { return platform::PathExists(path); })) return "(no report)";
  std::string bytes = platform::ReadWholeFile(path).value_or("");
  std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
  return platform::NarrowPath(text);
}

std::string CopyProbe(const std::string& folder) {
  std::string copy = platform::JoinPath(folder, "probe.exe");
  return CopyFileW(platform::Widen(VYMERA_PROBE_PROGRAM).c_str(), platform::Widen(copy).c_str(), FALSE) ? copy : "";
}

// The system's own split gives back every argument as it was quoted.
TEST(ProcessWindows, QuotedArgumentsComeBackWhole) {
  const std::string arguments[] = {"/Startup", "", "C:\\a b\\", "say \"hi\"", "x\\\" y", "tab\tin", "中文 路径", "\\\\"};
  std::string line = "program.exe";
  for (const std::string& argument : arguments) line += " " + platform::CommandLineArgument(argument);
  int count = 0;
  wchar_t** split = CommandLineToArgvW(platform::Widen(line).c_str(), &count);
  ASSERT_TRUE(split);
  ASSERT_EQ(count, static_cast<int>(std::size(arguments)) + 1);
  for (int i = 1; i < count; ++i) EXPECT_EQ(platform::Narrow(split[i]), arguments[i - 1]) << line;
  LocalFree(split);
}

TEST(ProcessWindows, StartsInTheFolderGivenWithoutArgumentsEvenFromAPathWithBlanks) {
  TempFolder dir;
  std::string home = dir.File("home folder");
  std::string work = dir.File("work");
  ASSERT_TRUE(platform::MakeFolderTree(home) && platform::MakeFolderTree(work));
  std::string probe = CopyProbe(home);
  ASSERT_FALSE(probe.empty());
  ASSERT_TRUE(platform::StartProgram(probe, work));
  // The quoted path is one argument: the program is given none of its own.
  std::string report = ProbeReport(work);
  EXPECT_TRUE(platform::EqualsIgnoringAsciiCase(report, work + "\n0\n")) << report;
}

TEST(ProcessWindows, RefusesWhatCannotRun) {
  TempFolder dir;
  EXPECT_FALSE(platform::StartProgram(dir.File("absent.exe"), dir.path()));
  std::string text = dir.File("text.exe");
  ASSERT_TRUE(platform::WriteFileAtomically(text, "not a program"));
  EXPECT_FALSE(platform::StartProgram(text, dir.path()));
  EXPECT_FALSE(platform::StartProgram(dir.path(), dir.path()));  // a folder
  EXPECT_FALSE(platform::StartProgram("", dir.path()));
  // A current folder that is not there.
  std::string probe = CopyProbe(dir.path());
  ASSERT_FALSE(probe.empty());
  EXPECT_FALSE(platform::StartProgram(probe, dir.File("missing")));
}

}  // namespace
