#include <gtest/gtest.h>

#include "platform/hid/hid_host.h"

// The build machine has no scale or pedometer; the system host must say so quietly.
TEST(SystemHidHost, FindsNoAbsentDeviceAndOpensNoBadPath) {
  auto host = platform::MakeSystemHidHost();
  for (const auto& one : host->Enumerate(0x1915, 0x003B)) {
    EXPECT_EQ(one.vendorId, 0x1915);
    EXPECT_EQ(one.productId, 0x003B);
  }
  EXPECT_EQ(host->Open("/dev/no-such-hidraw"), nullptr);
  EXPECT_EQ(host->Open(""), nullptr);
}
