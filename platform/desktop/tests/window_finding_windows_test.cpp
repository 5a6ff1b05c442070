// Finding and raising a top-level window by its title, through the system's own list of windows.

#include <gtest/gtest.h>

#include "platform/desktop/window_registry.h"
#include "titled_window.h"

using platform::FindWindowByTitle;
using platform::WindowRegistry;
using testing_support::OtherProcessWindow;
using testing_support::OwnWindow;

namespace {

constexpr const char* kTitle = "Vymera同步软件";

TEST(WindowFindingWindows, AWindowOfThisProcessIsFoundByItsExactTitleAndRaised) {
  OwnWindow window(kTitle);
  ASSERT_TRUE(window.get());
  EXPECT_FALSE(IsWindowVisible(window.get()));
  EXPECT_FALSE(FindWindowByTitle("vymera同步软件", false));  // titles compare exactly, case included
  EXPECT_FALSE(FindWindowByTitle("Vymera同步", false));       // and whole
  EXPECT_FALSE(FindWindowByTitle("", true));
  EXPECT_TRUE(FindWindowByTitle(kTitle, false));
  EXPECT_FALSE(IsWindowVisible(window.get()));  // found, not raised
  EXPECT_TRUE(FindWindowByTitle(kTitle, true));
  EXPECT_TRUE(window.WaitShown());
}

TEST(WindowFindingWindows, ADestroyedWindowIsNotFound) {
  {
    OwnWindow window("Renewix");
    ASSERT_TRUE(FindWindowByTitle("Renewix", false));
  }
  EXPECT_FALSE(FindWindowByTitle("Renewix", false));
  EXPECT_FALSE(FindWindowByTitle(std::string(5000, 'x'), false));
}

TEST(WindowFindingWindows, AnotherProcesssHiddenWindowIsFoundAndShown) {
  const std::string title = "Vymera同步软件 (another process)";
  OtherProcessWindow other(title);
  ASSERT_TRUE(other.Started());
  ASSERT_TRUE(testing_support::WaitUntil([&] { return FindWindowByTitle(title, false); }));
  EXPECT_TRUE(FindWindowByTitle(title, true));
  // The owner saw its window shown before it was closed.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  other.Close();
  EXPECT_EQ(other.ExitCode(), 0);
  EXPECT_FALSE(FindWindowByTitle(title, false));
}

// The system keeps the list of windows: publishing makes nothing and serving answers nothing.
TEST(WindowFindingWindows, TheRegistryHasNothingToListenOn) {
  WindowRegistry registry;
  EXPECT_TRUE(registry.Publish(kTitle, [] {}));
  EXPECT_EQ(registry.ListenFd(), -1);
  registry.Serve();
  registry.Withdraw(kTitle);
  EXPECT_TRUE(platform::EnsureRegistryFolder(WindowRegistry::DefaultFolder()));
}

}  // namespace
