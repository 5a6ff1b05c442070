// A program started while its X server is not yet taking connections still gets its windows.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "toolkit/core/dispatcher.h"

namespace {

// A display number no server uses now.
int FreeDisplay() {
  for (int n = 700 + getpid() % 200; n < 1000; ++n) {
    if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) != 0) return n;
  }
  return -1;
}

}  // namespace

TEST(DisplayStart, AServerThatComesUpLateIsWaitedFor) {
  if (system("command -v Xvfb > /dev/null 2>&1") != 0) GTEST_SKIP() << "no Xvfb";
  int display = FreeDisplay();
  ASSERT_GT(display, 0);
  std::string name = ":" + std::to_string(display);
  pid_t program = fork();
  if (program == 0) {
    setenv("DISPLAY", name.c_str(), 1);
    bool windows = !toolkit::Dispatcher::Instance().GetBackend().IsHeadless();
    _exit(windows ? 0 : 1);
  }
  // The server comes up while the program is trying.
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  pid_t server = fork();
  if (server == 0) {
    execlp("Xvfb", "Xvfb", name.c_str(), "-nolisten", "tcp", "-screen", "0", "640x480x24", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(program, &status, 0);
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the program went on without windows";
}
