#include "platform/termination_signals.h"

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "platform/process.h"
#include "testing/temp_folder.h"

namespace {

// Signals sent to the process while they are taken become readable instead of ending it, and a
// program started meanwhile can still be ended by them.
TEST(TerminationSignals, AreReadInsteadOfEndingTheProcessAndAreNotHandedDownBlocked) {
  platform::UniqueFd fd = platform::TakeTerminationSignals();
  ASSERT_TRUE(fd);
  EXPECT_EQ(platform::ReadTerminationSignal(fd.get()), 0);
  for (int s : {SIGTERM, SIGHUP, SIGINT}) {
    ASSERT_EQ(kill(getpid(), s), 0);
    EXPECT_EQ(platform::ReadTerminationSignal(fd.get()), s);
  }
  EXPECT_EQ(platform::ReadTerminationSignal(fd.get()), 0);

  testing_support::TempFolder dir;
  std::string program = dir.File("prog");
  // Writes the signal mask it started with, read by the shell itself: a shell waiting for a child
  // (grep) blocks every signal meanwhile, which is not the mask it was given.
  ASSERT_TRUE(platform::WriteFileAtomically(program,
      "#!/bin/sh\nwhile read -r line; do case $line in SigBlk*) printf '%s\\n' \"$line\" > mask.tmp;; esac; done"
      " < /proc/$$/status\nmv mask.tmp mask\n"));
  ASSERT_EQ(chmod(program.c_str(), 0755), 0);
  ASSERT_TRUE(platform::StartProgram(program, dir.path()));
  for (int i = 0; i < 200 && !platform::PathExists(dir.File("mask")); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(platform::ReadWholeFile(dir.File("mask")).value_or(""), "SigBlk:\t0000000000000000\n");
}

}  // namespace
