#include "platform/process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "testing/bounded_wait.h"
#include "testing/temp_folder.h"

using testing_support::TempFolder;

namespace {

bool WaitForFile(const std::string& path) {
  return testing_support::WaitUntil([&] { return platform::PathExists(path); });
}

TEST(Process, StartsInItsFolderWithoutArgumentsAndDetached) {
  TempFolder dir;
  std::string program = dir.File("prog");
  // Leaves its current folder, its argument count and whether it leads a session of its own.
  ASSERT_TRUE(platform::WriteFileAtomically(program,
      "#!/bin/sh\n"
      "sid=$(ps -o sid= -p $$ | tr -d ' ')\n"
      "[ \"$sid\" = \"$$\" ] && lead=yes || lead=no\n"
      "echo \"$(pwd) $# $lead\" > marker.tmp && mv marker.tmp marker\n"));
  ASSERT_EQ(chmod(program.c_str(), 0755), 0);
  ASSERT_TRUE(platform::StartProgram(program, dir.path()));
  ASSERT_TRUE(WaitForFile(dir.File("marker")));
  EXPECT_EQ(platform::ReadWholeFile(dir.File("marker")).value_or(""), dir.path() + " 0 yes\n");
}

TEST(Process, RefusesWhatCannotRun) {
  TempFolder dir;
  EXPECT_FALSE(platform::StartProgram(dir.File("absent"), dir.path()));
  std::string text = dir.File("text");
  ASSERT_TRUE(platform::WriteFileAtomically(text, "not a program"));
  EXPECT_FALSE(platform::StartProgram(text, dir.path()));  // no run bit
  ASSERT_EQ(chmod(text.c_str(), 0755), 0);
  EXPECT_FALSE(platform::StartProgram(text, dir.path()));  // run bit, but no program inside
  EXPECT_FALSE(platform::StartProgram(dir.path(), dir.path()));  // a folder
  EXPECT_FALSE(platform::StartProgram("", dir.path()));
}

}  // namespace
