// The HID node layer over socket pairs standing in for hidraw nodes: bounded writes and reads,
// cancelling, and a device that is gone.
#include "platform/hid/hid_node.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/hid/tests/socket_node.h"

using platform::HidStatus;
using platform::MakeHidNodeDevice;
using testing_support::SecondsOf;
using testing_support::SocketNode;

namespace {

constexpr platform::HidReportLayout kUnnumbered{false, 65, 65};

std::vector<uint8_t> Report(size_t bytes, uint8_t fill) {
  std::vector<uint8_t> report(bytes, fill);
  report[0] = 0;
  return report;
}

}  // namespace

TEST(HidNode, WritesReachTheNodeAndReportsComeBackInWireForm) {
  SocketNode node;
  auto device = MakeHidNodeDevice(node.TakeDeviceEnd(), kUnnumbered);
  auto sent = device->Write(Report(65, 0x11), 500);
  ASSERT_TRUE(sent.ok());
  EXPECT_EQ(sent.bytes, 65u);
  std::vector<uint8_t> got(100);
  EXPECT_EQ(recv(node.Far(), got.data(), got.size(), 0), 65);

  // hidraw hands over an unnumbered report without its id byte; callers see the 0 in front.
  ASSERT_TRUE(node.Send(std::vector<uint8_t>(32, 0x5A)));
  std::vector<uint8_t> buffer(512, 0xFF);
  auto read = device->Read(buffer, 500);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.bytes, 33u);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(buffer[1], 0x5A);
  EXPECT_EQ(buffer[32], 0x5A);

  SocketNode numbered;
  auto withIds = MakeHidNodeDevice(numbered.TakeDeviceEnd(), {true, 9, 9});
  ASSERT_TRUE(numbered.Send({3, 1, 2}));
  read = withIds->Read(buffer, 500);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.bytes, 3u);
  EXPECT_EQ(buffer[0], 3);
}

TEST(HidNode, AWriteToANodeThatNeverDrainsEndsWithItsTimeOut) {
  SocketNode node;
  ASSERT_TRUE(node.Clog(65));
  auto device = MakeHidNodeDevice(node.TakeDeviceEnd(), kUnnumbered);
  platform::HidTransfer sent;
  double seconds = SecondsOf([&] { sent = device->Write(Report(65, 0x22), 50); });
  EXPECT_EQ(sent.status, HidStatus::TimedOut);
  EXPECT_GE(seconds, 0.045) << "it waited for the node";
  // Far below anything a hanging write would take; the bound only keeps a broken build from hanging.
  EXPECT_LT(seconds, 5.0);
}

TEST(HidNode, AWriteThatBlocksInTheKernelIsLeftBehindAndTheNodeClosesWhenItEnds) {
  // A blocking stream socket polls writable while empty, yet a report larger than its buffer blocks
  // the write inside the kernel, as a hidraw write does until the USB transfer ends.
  SocketNode node(SOCK_STREAM);
  auto device = MakeHidNodeDevice(node.TakeDeviceEnd(), kUnnumbered);
  std::vector<uint8_t> huge = Report(4 << 20, 0x33);
  platform::HidTransfer first, second;
  double seconds = SecondsOf([&] {
    // Long enough for the writer thread to reach the kernel on a busy machine; a write given up on
    // before that never goes out at all.
    first = device->Write(huge, 500);
    second = device->Write(Report(65, 0x44), 50);
  });
  EXPECT_EQ(first.status, HidStatus::TimedOut);
  EXPECT_EQ(second.status, HidStatus::TimedOut) << "the earlier write still holds the node";
  EXPECT_LT(seconds, 5.0);
  EXPECT_LT(SecondsOf([&] { device.reset(); }), 5.0) << "giving the device up does not wait for the kernel";

  // The device takes the report after all: the write left behind completes, then the node closes.
  EXPECT_EQ(node.DrainUntilClosed(), huge.size());
}

TEST(HidNode, ReadsTimeOutAndCancelEndsAReadWithoutLimit) {
  SocketNode node;
  auto device = MakeHidNodeDevice(node.TakeDeviceEnd(), kUnnumbered);
  std::vector<uint8_t> buffer(65);
  EXPECT_EQ(device->Read(buffer, 30).status, HidStatus::TimedOut);

  platform::HidTransfer unlimited;
  std::thread reader([&] { unlimited = device->Read(buffer, -1); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  device->Cancel();
  reader.join();
  EXPECT_EQ(unlimited.status, HidStatus::Cancelled);
  ASSERT_TRUE(node.Send(std::vector<uint8_t>(64, 1)));
  EXPECT_EQ(device->Read(buffer, 100).status, HidStatus::Cancelled) << "every later transfer too";
  EXPECT_EQ(device->Write(Report(65, 0), 100).status, HidStatus::Cancelled);
}

TEST(HidNode, ANodeWhoseDeviceIsGoneFailsAtOnce) {
  SocketNode node;
  auto device = MakeHidNodeDevice(node.TakeDeviceEnd(), kUnnumbered);
  node.CloseFar();
  std::vector<uint8_t> buffer(65);
  EXPECT_EQ(device->Read(buffer, -1).status, HidStatus::Failed);
  EXPECT_EQ(device->Write(Report(65, 0), -1).status, HidStatus::Failed);
  EXPECT_EQ(device->Write({}, 10).status, HidStatus::Failed);
}
