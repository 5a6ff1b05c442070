// The window registry's rules beyond finding one window: several titles per process, withdrawn
// titles, folders others could write to, stale entries.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/desktop/window_registry.h"
#include "platform/file_io.h"
#include "testing/child_status.h"
#include "testing/temp_folder.h"

using platform::FindWindowByTitle;
using platform::WindowRegistry;

TEST(WindowRegistryTitles, SeveralTitlesWithdrawnOnesAndRaisingTheRightOne) {
  testing_support::TempFolder temp;
  std::string folder = temp.File("windows");
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t child = fork();
  if (child == 0) {
    WindowRegistry registry(folder);
    int raisedMain = 0, raisedOther = 0;
    bool ok = registry.Publish("Vymera同步软件", [&] { ++raisedMain; }) &&
              registry.Publish("Renewix", [&] { ++raisedOther; }) && registry.Publish("已关闭", [] {});
    registry.Withdraw("已关闭");
    char c = ok ? 'y' : 'n';
    (void)!write(ready[1], &c, 1);
    for (int i = 0; i < 300 && raisedMain == 0; ++i) {
      registry.Serve();
      usleep(10000);
    }
    _exit(raisedMain == 1 && raisedOther == 0 ? 0 : 3);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  EXPECT_FALSE(FindWindowByTitle("已关闭", true, folder));
  EXPECT_TRUE(FindWindowByTitle("Renewix", false, folder));  // found, not raised
  EXPECT_FALSE(FindWindowByTitle("", true, folder));
  EXPECT_TRUE(FindWindowByTitle("Vymera同步软件", true, folder));
  int status = 0;
  status = testing_support::ChildStatus(child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  close(ready[0]);
  close(ready[1]);
}

TEST(WindowRegistryTitles, OwnWindowsAreNotAskedAndStaleEntriesGo) {
  testing_support::TempFolder temp;
  std::string folder = temp.File("windows");
  {
    WindowRegistry registry(folder);
    EXPECT_EQ(registry.ListenFd(), -1);
    registry.Serve();  // nothing published: nothing to do
    ASSERT_TRUE(registry.Publish("Setup", [] {}));
    EXPECT_GE(registry.ListenFd(), 0);
    std::string own = folder + "/" + std::to_string(getpid()) + ".sock";
    EXPECT_TRUE(platform::PathExists(own));
    // This process answers from its own loop; asking itself would wait on a loop that is not running.
    EXPECT_FALSE(FindWindowByTitle("Setup", false, folder));

    // A socket left by a process that ended, and a file that only looks like one.
    ASSERT_TRUE(platform::WriteFileAtomically(folder + "/999999.sock", ""));
    EXPECT_FALSE(FindWindowByTitle("Setup", false, folder));
    EXPECT_FALSE(platform::PathExists(folder + "/999999.sock"));
    EXPECT_TRUE(platform::PathExists(own));
  }
  // Gone with the registry.
  EXPECT_FALSE(platform::PathExists(folder + "/" + std::to_string(getpid()) + ".sock"));
}

TEST(WindowRegistryTitles, RefusesFoldersOthersCanReachAndNamesTooLongForASocket) {
  testing_support::TempFolder temp;
  std::string open = temp.File("open");
  ASSERT_EQ(mkdir(open.c_str(), 0755), 0);
  ASSERT_EQ(chmod(open.c_str(), 0755), 0);
  WindowRegistry shared(open);
  EXPECT_FALSE(shared.Publish("Vymera同步软件", [] {}));
  EXPECT_EQ(shared.ListenFd(), -1);

  std::string link = temp.File("link");
  std::string mine = temp.File("mine");
  ASSERT_EQ(mkdir(mine.c_str(), 0700), 0);
  ASSERT_EQ(symlink(mine.c_str(), link.c_str()), 0);
  WindowRegistry linked(link);  // a link could be turned to someone else's folder
  EXPECT_FALSE(linked.Publish("x", [] {}));

  std::string deep = temp.File(std::string(120, 'd'));
  WindowRegistry tooLong(deep);
  EXPECT_FALSE(tooLong.Publish("x", [] {}));
}
