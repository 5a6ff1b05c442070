// The one-copy lock as a named object of the session: held within this process and by another one,
// let go when its holder ends however it ends.

#include <gtest/gtest.h>

#include <chrono>

#include "platform/desktop/single_instance.h"
#include "platform/desktop/window_registry.h"
#include "titled_window.h"

using namespace std::chrono_literals;
using platform::ClaimSingleInstance;
using platform::InstanceLock;

namespace {

TEST(SingleInstanceWindows, OneHolderPerNameAndFolderEvenInOneProcess) {
  auto holder = std::make_unique<InstanceLock>("C:/lock-test-a", "Vymera");
  EXPECT_TRUE(holder->Usable());
  ASSERT_TRUE(holder->TryTake());
  EXPECT_TRUE(holder->TryTake());  // held already
  InstanceLock second("C:/lock-test-a", "Vymera");
  EXPECT_FALSE(second.TryTake());
  EXPECT_TRUE(second.Usable());
  InstanceLock setup("C:/lock-test-a", "Setup");  // another program's
  EXPECT_TRUE(setup.TryTake());
  InstanceLock elsewhere("C:/lock-test-b", "Vymera");  // another folder's
  EXPECT_TRUE(elsewhere.TryTake());
  InstanceLock odd("C:/lock-test-a", "with\\backslash");
  EXPECT_TRUE(odd.TryTake());
  holder.reset();
  EXPECT_TRUE(second.TryTake());
}

TEST(SingleInstanceWindows, ASecondStartRaisesTheHoldersWindowAndTheLockPassesOnWhenItEnds) {
  const std::string folder = "C:/lock-test-c";
  const std::string title = "Vymera同步软件 (lock holder)";
  testing_support::OtherProcessWindow holder(title, folder);
  ASSERT_TRUE(holder.Started());
  ASSERT_TRUE(testing_support::WaitUntil([&] { return platform::FindWindowByTitle(title, false); }));
  InstanceLock mine(folder, "Vymera");
  EXPECT_FALSE(mine.TryTake());
  EXPECT_FALSE(ClaimSingleInstance(mine, title, 5s, folder));  // raised the holder's window instead
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  holder.Close();
  EXPECT_EQ(holder.ExitCode(), 0);  // its window had been shown
  EXPECT_TRUE(ClaimSingleInstance(mine, title, 5s, folder));
  EXPECT_TRUE(mine.Held());
}

TEST(SingleInstanceWindows, AWindowThatNeverComesEndsTheWaitInTime) {
  InstanceLock holder("C:/lock-test-d", "Vymera");
  ASSERT_TRUE(holder.TryTake());
  InstanceLock start("C:/lock-test-d", "Vymera");
  auto begun = std::chrono::steady_clock::now();
  EXPECT_FALSE(ClaimSingleInstance(start, "Vymera同步软件 (never shown)", 300ms, "C:/lock-test-d"));
  auto waited = std::chrono::steady_clock::now() - begun;
  EXPECT_GE(waited, 300ms);
  EXPECT_LT(waited, 3s);
}

}  // namespace
