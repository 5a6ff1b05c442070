#pragma once
// The end of a child process a POSIX test forked, within a bound.

#include <signal.h>
#include <sys/wait.h>

#include "testing/bounded_wait.h"

namespace testing_support {

// Waits for the child process pid to end and returns its wait status. A child still running after
// bound fails the test, is killed and reaped, and its status is then that of the kill.
inline int ChildStatus(pid_t pid, std::chrono::milliseconds bound = kWaitBound) {
  int status = 0;
  bool ended = WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, bound);
  if (!ended) {
    ADD_FAILURE() << "child process " << pid << " did not end within " << bound.count() << " ms; killed";
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  }
  return status;
}

}  // namespace testing_support
