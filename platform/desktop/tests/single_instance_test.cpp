// The one-copy lock under starts at the same moment, holders that end, and holders whose window
// never comes.

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "platform/desktop/single_instance.h"
#include "platform/desktop/window_registry.h"
#include "testing/child_status.h"
#include "testing/temp_folder.h"

using namespace std::chrono_literals;
using platform::ClaimSingleInstance;
using platform::InstanceLock;

namespace {

constexpr const char* kTitle = "Vymera同步软件";

// What a forked start reports through its exit code.
enum StartEnd { kEnded = 10, kRanAndWasRaised = 11, kRanUnraised = 12 };

// A program start in a child process: released with the others by the gate, it claims the lock;
// the one that runs shows its window only after a while (the update check comes first) and serves
// requests until the test closes `stop`.
pid_t Start(const std::string& folder, const int (&gatePipe)[2], const int (&stopPipe)[2]) {
  pid_t pid = fork();
  if (pid != 0) return pid;
  close(gatePipe[1]);
  close(stopPipe[1]);
  int stop = stopPipe[0];
  char c;
  (void)!read(gatePipe[0], &c, 1);
  InstanceLock lock(folder, "Vymera");
  // As long as the client waits: a loaded machine (the suite runs beside other tests) is slow here.
  if (!ClaimSingleInstance(lock, kTitle, 15s, folder)) _exit(kEnded);
  usleep(50000);
  platform::WindowRegistry windows(folder);
  int raised = 0;
  windows.Publish(kTitle, [&] { ++raised; });
  while (true) {
    windows.Serve();
    pollfd p{stop, POLLIN, 0};
    if (poll(&p, 1, 5) == 1) break;
  }
  _exit(raised > 0 ? kRanAndWasRaised : kRanUnraised);
}

int ExitCode(pid_t pid) {
  // A start may wait for the lock as long as the client does (15 s) before it ends.
  int status = testing_support::ChildStatus(pid, std::chrono::seconds(30));
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(SingleInstance, StartsAtTheSameMomentLeaveOneThatTheOthersRaise) {
  testing_support::TempFolder temp;
  std::string folder = temp.File("windows");
  for (int round = 0; round < 10; ++round) {
    int gate[2], stop[2];
    ASSERT_EQ(pipe(gate), 0);
    ASSERT_EQ(pipe(stop), 0);
    std::vector<pid_t> starts;
    for (int i = 0; i < 3; ++i) starts.push_back(Start(folder, gate, stop));
    close(gate[0]);
    close(stop[0]);
    close(gate[1]);  // all go at once

    // The losers end by themselves once they raised the winner's window; then the winner is told.
    std::vector<int> codes(starts.size(), -1);
    int ended = 0;
    for (int tick = 0; tick < 2000 && ended < 2; ++tick) {
      for (size_t i = 0; i < starts.size(); ++i) {
        int status = 0;
        if (codes[i] == -1 && waitpid(starts[i], &status, WNOHANG) == starts[i]) {
          codes[i] = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
          ended += codes[i] == kEnded;
        }
      }
      usleep(10000);
    }
    close(stop[1]);
    for (size_t i = 0; i < starts.size(); ++i)
      if (codes[i] == -1) codes[i] = ExitCode(starts[i]);
    ASSERT_EQ(ended, 2) << "round " << round;
    int winners = 0;
    for (int code : codes) winners += code == kRanAndWasRaised;
    EXPECT_EQ(winners, 1) << "round " << round;
  }
}

TEST(SingleInstance, AHolderThatEndsBeforeItsWindowPassesTheLockOn) {
  testing_support::TempFolder temp;
  std::string folder = temp.File("windows");
  int taken[2];
  ASSERT_EQ(pipe(taken), 0);
  pid_t holder = fork();
  if (holder == 0) {
    InstanceLock lock(folder, "Vymera");
    if (!lock.TryTake()) _exit(1);
    (void)!write(taken[1], "y", 1);
    usleep(300000);  // an update taken before the window: the program ends without showing it
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(taken[0], &c, 1), 1);
  InstanceLock mine(folder, "Vymera");
  EXPECT_FALSE(mine.TryTake());
  auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(ClaimSingleInstance(mine, kTitle, 5s, folder));
  EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
  EXPECT_EQ(ExitCode(holder), 0);
  // Held by this process now: another start does not get it.
  InstanceLock other(folder, "Vymera");
  EXPECT_FALSE(other.TryTake());
}

TEST(SingleInstance, AWindowThatNeverComesEndsTheWaitInTime) {
  testing_support::TempFolder temp;
  std::string folder = temp.File("windows");
  InstanceLock holder(folder, "Vymera");
  ASSERT_TRUE(holder.TryTake());
  // Another name is another program's lock.
  InstanceLock setup(folder, "Setup");
  EXPECT_TRUE(setup.TryTake());

  pid_t start = fork();
  if (start == 0) {
    InstanceLock lock(folder, "Vymera");
    auto begun = std::chrono::steady_clock::now();
    bool ran = ClaimSingleInstance(lock, kTitle, 300ms, folder);
    auto waited = std::chrono::steady_clock::now() - begun;
    _exit(!ran && waited >= 300ms && waited < 3s ? 0 : 1);
  }
  EXPECT_EQ(ExitCode(start), 0);
}

TEST(SingleInstance, AFolderOthersCanReachHoldsNoLockAndTheWindowDecides) {
  testing_support::TempFolder temp;
  std::string open = temp.File("open");
  ASSERT_EQ(mkdir(open.c_str(), 0777), 0);
  ASSERT_EQ(chmod(open.c_str(), 0777), 0);
  InstanceLock lock(open, "Vymera");
  EXPECT_FALSE(lock.Usable());
  EXPECT_FALSE(lock.TryTake());
  EXPECT_TRUE(ClaimSingleInstance(lock, kTitle, 5s, open));  // no window there: run
}
