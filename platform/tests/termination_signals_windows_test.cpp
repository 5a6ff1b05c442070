#include <windows.h>

#include <gtest/gtest.h>

#include <csignal>

#include "platform/termination_signals.h"
#include "testing/bounded_wait.h"

namespace {

// The console's Ctrl+C and Ctrl+Break reach the process's handler on a thread of the system's,
// and are read from the descriptor instead of ending the process.
TEST(TerminationSignalsWindows, ConsoleInterruptsAreReadInsteadOfEndingTheProcess) {
  platform::UniqueFd fd = platform::TakeTerminationSignals();
  ASSERT_TRUE(fd);
  EXPECT_EQ(platform::ReadTerminationSignal(fd.get()), 0);
  // A test run from a pipe has no console of its own: it gets one to be interrupted through.
  BOOL made = GetConsoleWindow() ? TRUE : AllocConsole();
  DWORD madeError = GetLastError();
  if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0)) {
    GTEST_SKIP() << "no console to send Ctrl+Break through (error " << GetLastError() << "; a console made: " << made
                 << ", error " << madeError << ")";
  }
  int number = 0;
  bool arrived = testing_support::WaitUntil([&] { return (number = platform::ReadTerminationSignal(fd.get())) != 0; },
                                            std::chrono::seconds(3));
  if (!arrived) GTEST_SKIP() << "the console did not pass Ctrl+Break on to the process";
  EXPECT_EQ(number, SIGINT);
  EXPECT_EQ(platform::ReadTerminationSignal(fd.get()), 0);
}

}  // namespace
