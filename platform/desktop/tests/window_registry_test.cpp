#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/desktop/window_registry.h"
#include "platform/file_io.h"
#include "testing/child_status.h"
#include "testing/temp_folder.h"

using platform::FindWindowByTitle;
using platform::WindowRegistry;

TEST(WindowRegistry, AnotherProcessFindsAndRaisesByExactTitle) {
  testing_support::TempFolder temp;
  std::string folder = temp.File("windows");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  if (child == 0) {
    // The other program: publishes its window and serves two requests.
    WindowRegistry registry(folder);
    int raised = 0;
    bool ok = registry.Publish("Vymera同步软件", [&] { ++raised; });
    char c = ok ? 'y' : 'n';
    (void)!write(ready[1], &c, 1);
    for (int i = 0; i < 300 && raised == 0; ++i) {
      registry.Serve();
      usleep(10000);
    }
    _exit(raised == 1 ? 0 : 3);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  EXPECT_FALSE(FindWindowByTitle("vymera同步软件", false, folder));  // titles compare exactly
  EXPECT_TRUE(FindWindowByTitle("Vymera同步软件", false, folder));
  EXPECT_TRUE(FindWindowByTitle("Vymera同步软件", true, folder));
  int status = 0;
  status = testing_support::ChildStatus(child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  // The process has ended: its socket is stale, is not found and gets removed.
  EXPECT_FALSE(FindWindowByTitle("Vymera同步软件", false, folder));
  EXPECT_FALSE(platform::PathExists(folder + "/" + std::to_string(child) + ".sock"));
  close(ready[0]);
  close(ready[1]);
}

TEST(WindowRegistry, NoFolderMeansNoWindow) {
  testing_support::TempFolder temp;
  EXPECT_FALSE(FindWindowByTitle("x", true, temp.File("missing")));
}

// A program that published its window and then stopped serving (hung) never accepts: once its
// queue is full, asking it must still end, say no, and leave its socket alone.
TEST(WindowRegistry, AHungListenerIsNotWaitedForAndNotRemoved) {
  testing_support::TempFolder temp;
  std::string folder = temp.File("windows");
  ASSERT_TRUE(platform::EnsureRegistryFolder(folder));
  std::string path = folder + "/1.sock";
  int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  // Fill the queue the way earlier askers would have.
  std::vector<int> waiting;
  for (int i = 0; i < 4; ++i) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    waiting.push_back(fd);
  }
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(FindWindowByTitle("Vymera同步软件", false, folder));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(platform::PathExists(path));
  for (int fd : waiting) close(fd);
  close(listener);
}

// A registry binds and then listens, under the folder's lock. Whoever was refused in between must
// not remove the socket once the lock is free: the window would be unreachable for good, and a
// second client would start beside the first.
TEST(WindowRegistry, ASocketRefusedWhileBeingMadeIsNotRemoved) {
  testing_support::TempFolder temp;
  std::string folder = temp.File("windows");
  ASSERT_TRUE(platform::EnsureRegistryFolder(folder));
  std::string path = folder + "/1.sock";
  int folderLock = open((folder + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(folderLock, 0);
  ASSERT_EQ(flock(folderLock, LOCK_EX), 0);
  int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

  std::thread asker([&] { FindWindowByTitle("Vymera同步软件", false, folder); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // refused, now waiting for the lock
  ASSERT_EQ(listen(listener, 4), 0);
  flock(folderLock, LOCK_UN);
  asker.join();
  EXPECT_TRUE(platform::PathExists(path));
  close(folderLock);
  close(listener);
}
