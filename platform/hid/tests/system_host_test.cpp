#include <fcntl.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/hid/hid_host.h"
#include "platform/hid/hid_node.h"

// The system host lists what hidraw has, and opens nothing that is not a hidraw node.
TEST(SystemHidHost, ListsOnlyTheAskedIdsAndOpensOnlyHidrawNodes) {
  auto host = platform::MakeSystemHidHost();
  std::error_code ec;
  size_t nodes = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/sys/class/hidraw", ec)) {
    (void)entry;
    ++nodes;
  }
  std::vector<platform::HidInterface> all = host->Enumerate(0, 0);
  EXPECT_LE(all.size(), nodes) << "every interface listed is a hidraw node of this machine";
  for (const auto& one : all) EXPECT_EQ(one.path.rfind("/dev/hidraw", 0), 0u) << one.path;
  for (const auto& one : host->Enumerate(0x1915, 0x003B)) {
    EXPECT_EQ(one.vendorId, 0x1915);
    EXPECT_EQ(one.productId, 0x003B);
  }

  EXPECT_EQ(host->Open("/dev/no-such-hidraw"), nullptr);
  EXPECT_EQ(host->Open(""), nullptr);
  // A character device that is no HID node, and a regular file.
  EXPECT_EQ(host->Open("/dev/null"), nullptr);
  EXPECT_EQ(platform::OpenHidrawNode("/proc/self/status", {}), nullptr);
}
