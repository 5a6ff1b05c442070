// A Windows program reaching the devices of a Linux vymera-sim through the device bridge: run under
// Wine by wine_bridge_test.sh, which starts the simulator and passes its port in VYMERA_SIM_PORT.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/bridge/messages.h"
#include "platform/bridge/session.h"
#include "platform/hid/bridge_host.h"
#include "platform/hid/device_host.h"

namespace b = platform::bridge;
using platform::BridgeHidHost;

namespace {

bool SimulatorGiven() { return std::getenv(b::kTcpPortVariable) != nullptr; }

}  // namespace

TEST(BridgeFromWindows, ListsTheSimulatorsDevicesBesideTheSystems) {
  if (!SimulatorGiven()) GTEST_SKIP() << "wine_bridge_test.sh runs this beside a Linux vymera-sim";
  BridgeHidHost bridged;
  std::vector<platform::HidInterface> served = bridged.Enumerate(0, 0);
  ASSERT_EQ(served.size(), 2u) << "the scale and the pedometer at " << b::DefaultSocketPath();
  auto scales = bridged.Enumerate(0x1915, 0x003B);
  ASSERT_EQ(scales.size(), 1u);
  EXPECT_EQ(scales[0].path.rfind(BridgeHidHost::kPathPrefix, 0), 0u);
  EXPECT_EQ(scales[0].serial, "5A0031C7");

  // The host the programs take lists the system's devices, then the simulator's.
  auto everything = platform::MakeDeviceHidHost()->Enumerate(0, 0);
  ASSERT_GE(everything.size(), 2u);
  EXPECT_EQ(everything.back().path.rfind(BridgeHidHost::kPathPrefix, 0), 0u);
}

TEST(BridgeFromWindows, AReadingGivenToTheSimulatorComesFromItsScale) {
  if (!SimulatorGiven()) GTEST_SKIP() << "wine_bridge_test.sh runs this beside a Linux vymera-sim";
  auto host = platform::MakeDeviceHidHost();
  auto scales = host->Enumerate(0x1915, 0x003B);
  ASSERT_FALSE(scales.empty());
  auto scale = host->Open(scales.back().path);
  ASSERT_NE(scale, nullptr);
  EXPECT_GT(scale->InputReportLength(), 0u);

  b::Session session(b::DefaultSocketPath());
  auto answer = session.Ask<b::CommandReply>(b::CommandRequest{"weigh 68.4"});
  ASSERT_TRUE(answer);
  EXPECT_TRUE(answer->ok) << answer->text;
  std::vector<uint8_t> frame(64);
  auto read = scale->Read(frame, 3000);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.bytes, 33u);
  EXPECT_EQ((frame[7] << 8 | frame[8]), 684);
}
