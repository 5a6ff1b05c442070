// The HID host's bridge backend against a served desk: what it lists, what its handles do, and how
// it fails when the simulator goes away or stops answering.

#include "platform/hid/bridge_host.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <thread>

#include "platform/hid/composite_host.h"
#include "platform/hid/device_host.h"
#include "sim/tests/bridge_rig.h"

using bridge_test::MsSince;
using bridge_test::ServedDesk;
using platform::BridgeHidHost;
using platform::HidStatus;
namespace b = platform::bridge;

namespace {

const std::string kScalePath = std::string(BridgeHidHost::kPathPrefix) + "sim:scale:if3";
const std::string kPedometerPath = std::string(BridgeHidHost::kPathPrefix) + "sim:pedometer";

std::vector<uint8_t> ReadIdCommand() {
  std::vector<uint8_t> r(65, 0);
  r[1] = 0xB1, r[2] = 0xFC, r[3] = 0x00, r[4] = 0xB1;
  return r;
}

// A simulator that opens whatever it is asked to and then never answers again: one that was
// stopped (Ctrl+Z) with a program's handles open.
struct StalledSimulator {
  bridge_test::TempFolder folder;
  std::string socket = folder.path() + "/vymera-sim.sock";
  platform::UniqueFd listenFd{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)};
  std::unique_ptr<b::Connection> held;
  std::thread thread;

  StalledSimulator() {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, socket.data(), socket.size());
    EXPECT_EQ(bind(listenFd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    EXPECT_EQ(listen(listenFd.get(), 4), 0);
    thread = std::thread([this] {
      held = std::make_unique<b::Connection>(b::StreamSocket(accept4(listenFd.get(), nullptr, nullptr, SOCK_CLOEXEC)));
      b::Frame request;
      if (held->Receive(request, b::After(2000)) == b::IoStatus::Ok)
        held->Send(b::ToFrame(b::OpenReply{true, 65, 65}), b::After(1000));
    });
  }
  ~StalledSimulator() {
    if (thread.joinable()) thread.join();
  }
};

}  // namespace

TEST(BridgeHidHost, ListsTheServedInterfacesByIdAndTalksToThem) {
  ServedDesk served;
  BridgeHidHost host(served.socket);
  auto all = host.Enumerate(0, 0);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].path, kScalePath);
  EXPECT_EQ(all[0].vendorId, 0x1915);
  EXPECT_EQ(all[0].productId, 0x003B);
  EXPECT_EQ(all[0].interfaceNumber, 3);
  EXPECT_EQ(all[0].serial, "5A0031C7");
  auto pedometers = host.Enumerate(0x9456, 0x0001);
  ASSERT_EQ(pedometers.size(), 1u);
  EXPECT_EQ(pedometers[0].path, kPedometerPath);

  auto pedometer = host.Open(kPedometerPath);
  ASSERT_NE(pedometer, nullptr);
  EXPECT_EQ(pedometer->InputReportLength(), 65u);
  EXPECT_EQ(pedometer->OutputReportLength(), 65u);
  auto sent = pedometer->Write(ReadIdCommand(), 20);
  EXPECT_TRUE(sent.ok());
  EXPECT_EQ(sent.bytes, 65u);
  std::vector<uint8_t> reply(65, 0);
  auto got = pedometer->Read(reply, 80);
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(got.bytes, 65u);
  EXPECT_EQ(reply[1], 0xB1);
  uint32_t id = uint32_t{reply[4]} << 24 | uint32_t{reply[5]} << 16 | uint32_t{reply[6]} << 8 | reply[7];
  EXPECT_EQ(id, served.desk.Ids().pedometerId);
  // Nothing more to read: the read waits its time and says so, as on the system's host.
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(pedometer->Read(reply, 30).status, HidStatus::TimedOut);
  EXPECT_GE(MsSince(start), 30);

  EXPECT_EQ(host.Open("sim:pedometer"), nullptr);  // not a path the bridge gave
  EXPECT_EQ(host.Open(std::string(BridgeHidHost::kPathPrefix) + "sim:kettle"), nullptr);
  EXPECT_EQ(host.Open(BridgeHidHost::kPathPrefix), nullptr);
}

TEST(BridgeHidHost, ListsNothingAtOnceWithoutASimulator) {
  bridge_test::TempFolder folder;
  BridgeHidHost host(folder.path() + "/vymera-sim.sock");
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(host.Enumerate(0, 0).empty());
  EXPECT_EQ(host.Open(kScalePath), nullptr);
  EXPECT_LT(MsSince(start), 500);
}

TEST(BridgeHidHost, ACompositeListsTheSystemsDevicesFirstAndOpensEachWhereItCameFrom) {
  ServedDesk served;
  auto local = std::make_unique<sim::SimHidHost>();
  auto localScale = std::make_shared<sim::SimScale>("LOCAL", 3, "hidraw:local-scale");
  local->Attach(localScale);
  std::vector<std::unique_ptr<platform::HidHost>> hosts;
  hosts.push_back(std::move(local));
  hosts.push_back(std::make_unique<BridgeHidHost>(served.socket));
  platform::CompositeHidHost host(std::move(hosts));

  auto scales = host.Enumerate(0x1915, 0x003B);
  ASSERT_EQ(scales.size(), 2u);
  EXPECT_EQ(scales[0].serial, "LOCAL");
  EXPECT_EQ(scales[1].path, kScalePath);
  auto mine = host.Open(scales[0].path);
  auto bridged = host.Open(scales[1].path);
  ASSERT_NE(mine, nullptr);
  ASSERT_NE(bridged, nullptr);

  localScale->SendLive(1, 50.0f);
  size_t sent = 0;
  ASSERT_TRUE(served.desk.Weigh(68.4f, sent));
  std::vector<uint8_t> frame(64, 0);
  ASSERT_EQ(mine->Read(frame, 100).bytes, 33u);
  EXPECT_EQ((frame[7] << 8 | frame[8]), 500);
  ASSERT_EQ(bridged->Read(frame, 100).bytes, 33u);
  EXPECT_EQ((frame[7] << 8 | frame[8]), 684);
  EXPECT_EQ(host.Open("hidraw:none"), nullptr);
}

TEST(BridgeHidHost, TheProgramsHostFindsTheSimulatorInTheRuntimeFolder) {
  ASSERT_TRUE(platform::DeviceBridgeBuiltIn());
  ServedDesk served;
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  std::string keep = saved ? saved : "";
  setenv("XDG_RUNTIME_DIR", served.folder.path().c_str(), 1);
  auto host = platform::MakeDeviceHidHost();
  auto scales = host->Enumerate(0x1915, 0x003B);
  if (saved) setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
  else unsetenv("XDG_RUNTIME_DIR");
  ASSERT_FALSE(scales.empty());
  EXPECT_EQ(scales.back().path, kScalePath);
  EXPECT_NE(host->Open(kScalePath), nullptr);
}

TEST(BridgeHidHost, AnUnlimitedReadGetsTheFrameWhenItComesAndCancelEndsIt) {
  ServedDesk served;
  BridgeHidHost host(served.socket);
  auto scale = host.Open(kScalePath);
  ASSERT_NE(scale, nullptr);
  platform::HidTransfer got;
  std::vector<uint8_t> frame(512, 0);
  std::thread reader([&] { got = scale->Read(frame, -1); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  size_t sent = 0;
  served.desk.Weigh(71.2f, sent);
  reader.join();
  ASSERT_TRUE(got.ok());
  EXPECT_EQ(got.bytes, 33u);
  EXPECT_EQ(frame[5], 0x20);

  std::thread waiting([&] { got = scale->Read(frame, -1); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  auto start = std::chrono::steady_clock::now();
  scale->Cancel();
  waiting.join();
  EXPECT_EQ(got.status, HidStatus::Cancelled);
  EXPECT_LT(MsSince(start), 1000);
  served.desk.Weigh(71.2f, sent);
  EXPECT_EQ(scale->Read(frame, 0).status, HidStatus::Cancelled);
  EXPECT_EQ(scale->Write(std::vector<uint8_t>(33, 0), 500).status, HidStatus::Cancelled);
}

TEST(BridgeHidHost, UnplugFailsOpenHandlesAndHidesTheDeviceUntilPluggedAgain) {
  ServedDesk served;
  BridgeHidHost host(served.socket);
  auto scale = host.Open(kScalePath);
  ASSERT_NE(scale, nullptr);
  served.desk.Unplug(sim::DeskDevice::Scale);
  EXPECT_TRUE(host.Enumerate(0x1915, 0).empty());
  std::vector<uint8_t> frame(33, 0);
  EXPECT_EQ(scale->Read(frame, 10).status, HidStatus::Failed);
  EXPECT_EQ(host.Open(kScalePath), nullptr);
  served.desk.Plug(sim::DeskDevice::Scale);
  EXPECT_EQ(host.Enumerate(0x1915, 0).size(), 1u);
  EXPECT_EQ(scale->Write(std::vector<uint8_t>(33, 0), 500).status, HidStatus::Failed);
  EXPECT_NE(host.Open(kScalePath), nullptr);
}

TEST(BridgeHidHost, TheSimulatorEndingMidReadFailsTheReadAtOnceAndTheDevicesVanish) {
  ServedDesk served;
  BridgeHidHost host(served.socket);
  auto scale = host.Open(kScalePath);
  auto pedometer = host.Open(kPedometerPath);
  ASSERT_TRUE(scale && pedometer);
  platform::HidTransfer unlimited, bounded;
  std::vector<uint8_t> a(512), c(65);
  std::thread reader([&] { unlimited = scale->Read(a, -1); });
  std::thread poller([&] { bounded = pedometer->Read(c, 5000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  auto start = std::chrono::steady_clock::now();
  served.server.Stop();
  reader.join();
  poller.join();
  EXPECT_LT(MsSince(start), 2000);  // neither read waited for its own end
  EXPECT_EQ(unlimited.status, HidStatus::Failed);
  EXPECT_EQ(bounded.status, HidStatus::Failed);
  EXPECT_EQ(scale->Read(a, 10).status, HidStatus::Failed);
  EXPECT_TRUE(host.Enumerate(0, 0).empty());

  // Started again, the simulator is found again by the same host.
  served.Start();
  EXPECT_EQ(host.Enumerate(0, 0).size(), 2u);
}

TEST(BridgeHidHost, AStoppedSimulatorFailsATransferWithinItsTimeOutAndTheTrip) {
  StalledSimulator stalled;
  BridgeHidHost host(stalled.socket);
  auto pedometer = host.Open(kPedometerPath);
  ASSERT_NE(pedometer, nullptr);
  std::vector<uint8_t> reply(65);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(pedometer->Read(reply, 80).status, HidStatus::TimedOut);
  int64_t took = MsSince(start);
  EXPECT_GE(took, 80);
  EXPECT_LT(took, 80 + BridgeHidHost::kTransitMs + 400);
  // The late answer could come any time; the handle is not used again.
  start = std::chrono::steady_clock::now();
  EXPECT_EQ(pedometer->Write(ReadIdCommand(), 500).status, HidStatus::Failed);
  EXPECT_LT(MsSince(start), 250);
}
