#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "platform/desktop/window_registry.h"
#include "platform/file_io.h"
#include "testing/bounded_wait.h"
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
