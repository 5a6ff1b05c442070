// The overlapped handle layer over message pipes standing in for HID devices: whole reports each
// way, bounded waits, a read left pending across its time-out, cancelling, and a device that is gone.
#include "platform/hid/hid_handle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using platform::HidStatus;
using platform::MakeHidHandleDevice;
using platform::OwnedWinHandle;

namespace {

constexpr platform::HidReportLengths kLengths{65, 65};

// A message pipe: the device end goes to the code under test, the far end plays the device.
class PipeNode {
 public:
  explicit PipeNode(DWORD bufferBytes = 4096) {
    static std::atomic<int> count{0};
    std::wstring name =
        L"\\\\.\\pipe\\vymera-hid-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(count++);
    far_ = OwnedWinHandle(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                           PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, bufferBytes,
                                           bufferBytes, 0, nullptr));
    device_ = OwnedWinHandle(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_OVERLAPPED, nullptr));
    DWORD mode = PIPE_READMODE_MESSAGE;
    if (device_) SetNamedPipeHandleState(device_.get(), &mode, nullptr, nullptr);
  }

  bool ok() const { return far_ && device_; }
  OwnedWinHandle TakeDeviceEnd() { return std::move(device_); }
  void CloseFar() { far_.Close(); }

  // The device sends one report to the code under test.
  bool Send(const std::vector<uint8_t>& report) {
    DWORD sent = 0;
    return WriteFile(far_.get(), report.data(), static_cast<DWORD>(report.size()), &sent, nullptr) &&
           sent == report.size();
  }

  // The next report the code under test wrote, waiting at most ms.
  std::optional<std::vector<uint8_t>> Receive(int ms) {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
      DWORD waiting = 0;
      if (!PeekNamedPipe(far_.get(), nullptr, 0, nullptr, &waiting, nullptr)) return std::nullopt;
      if (waiting > 0) {
        std::vector<uint8_t> report(4096);
        DWORD got = 0;
        if (!ReadFile(far_.get(), report.data(), static_cast<DWORD>(report.size()), &got, nullptr)) return std::nullopt;
        report.resize(got);
        return report;
      }
      if (std::chrono::steady_clock::now() >= until) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

 private:
  OwnedWinHandle far_;
  OwnedWinHandle device_;
};

template <typename Run>
double SecondsOf(Run run) {
  auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(HidHandle, WritesArePaddedToTheOutputLengthAndReportsComeBackWhole) {
  PipeNode node;
  ASSERT_TRUE(node.ok());
  auto device = MakeHidHandleDevice(node.TakeDeviceEnd(), kLengths);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->InputReportLength(), 65u);
  EXPECT_EQ(device->OutputReportLength(), 65u);

  auto sent = device->Write(std::vector<uint8_t>{0, 0x11, 0x22}, 500);
  ASSERT_TRUE(sent.ok());
  EXPECT_EQ(sent.bytes, 3u) << "the caller hears of its own bytes, not of the padding";
  auto arrived = node.Receive(1000);
  ASSERT_TRUE(arrived);
  ASSERT_EQ(arrived->size(), 65u);
  EXPECT_EQ((*arrived)[1], 0x11);
  EXPECT_EQ((*arrived)[2], 0x22);
  EXPECT_EQ((*arrived)[64], 0);
  EXPECT_EQ(device->Write(std::vector<uint8_t>(66, 1), 500).status, HidStatus::Failed) << "longer than a report";
  EXPECT_EQ(device->Write({}, 500).status, HidStatus::Failed);

  std::vector<uint8_t> report(65, 0x5A);
  report[0] = 3;
  ASSERT_TRUE(node.Send(report));
  std::vector<uint8_t> buffer(512, 0xFF);
  auto read = device->Read(buffer, 1000);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.bytes, 65u);
  EXPECT_EQ(buffer[0], 3) << "the report id stays in byte 0";
  EXPECT_EQ(buffer[64], 0x5A);
  // A buffer shorter than the report gets its beginning.
  ASSERT_TRUE(node.Send(report));
  std::vector<uint8_t> small(8);
  read = device->Read(small, 1000);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read.bytes, 8u);
  EXPECT_EQ(small[7], 0x5A);
}

TEST(HidHandle, AReportArrivingAfterAReadTimedOutIsTheNextReads) {
  PipeNode node;
  ASSERT_TRUE(node.ok());
  auto device = MakeHidHandleDevice(node.TakeDeviceEnd(), kLengths);
  std::vector<uint8_t> buffer(65);
  platform::HidTransfer first;
  double seconds = SecondsOf([&] { first = device->Read(buffer, 40); });
  EXPECT_EQ(first.status, HidStatus::TimedOut);
  EXPECT_GE(seconds, 0.035);
  EXPECT_LT(seconds, 5.0);

  std::vector<uint8_t> report(65, 0x42);
  ASSERT_TRUE(node.Send(report));
  auto read = device->Read(buffer, 1000);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(buffer[1], 0x42);
  EXPECT_EQ(device->Read(buffer, 20).status, HidStatus::TimedOut) << "the report came once";
}

TEST(HidHandle, CancelEndsAReadWithoutLimitAndEveryLaterTransfer) {
  PipeNode node;
  ASSERT_TRUE(node.ok());
  auto device = MakeHidHandleDevice(node.TakeDeviceEnd(), kLengths);
  std::vector<uint8_t> buffer(65);
  platform::HidTransfer unlimited;
  std::thread reader([&] { unlimited = device->Read(buffer, -1); });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  device->Cancel();
  reader.join();
  EXPECT_EQ(unlimited.status, HidStatus::Cancelled);
  ASSERT_TRUE(node.Send(std::vector<uint8_t>(65, 1)));
  EXPECT_EQ(device->Read(buffer, 100).status, HidStatus::Cancelled);
  EXPECT_EQ(device->Write(std::vector<uint8_t>(65, 0), 100).status, HidStatus::Cancelled);
  EXPECT_LT(SecondsOf([&] { device.reset(); }), 5.0);
}

TEST(HidHandle, ADeviceThatIsGoneFailsAtOnce) {
  PipeNode node;
  ASSERT_TRUE(node.ok());
  auto device = MakeHidHandleDevice(node.TakeDeviceEnd(), kLengths);
  std::vector<uint8_t> buffer(65);
  platform::HidTransfer pending = device->Read(buffer, 20);
  EXPECT_EQ(pending.status, HidStatus::TimedOut);
  node.CloseFar();
  EXPECT_EQ(device->Read(buffer, -1).status, HidStatus::Failed) << "the read left pending ends with the device";
  EXPECT_EQ(device->Read(buffer, -1).status, HidStatus::Failed);
  EXPECT_EQ(device->Write(std::vector<uint8_t>(65, 0), -1).status, HidStatus::Failed);
}

TEST(HidHandle, AWriteTheDeviceNeverTakesEndsWithItsTimeOut) {
  PipeNode node(64);
  ASSERT_TRUE(node.ok());
  auto device = MakeHidHandleDevice(node.TakeDeviceEnd(), kLengths);
  std::vector<uint8_t> report(65, 0x33);
  platform::HidTransfer sent;
  int writes = 0;
  double seconds = 0;
  for (; writes < 1000; ++writes) {
    seconds = SecondsOf([&] { sent = device->Write(report, 50); });
    if (!sent.ok()) break;
  }
  if (sent.ok()) GTEST_SKIP() << "this system's pipes took " << writes << " reports nobody read without waiting";
  EXPECT_EQ(sent.status, HidStatus::TimedOut);
  EXPECT_GE(seconds, 0.045) << "it waited for the device";
  EXPECT_LT(seconds, 5.0);
  EXPECT_LT(SecondsOf([&] { device.reset(); }), 6.0) << "giving the device up waits for the system at most a grace";
}

TEST(HidHandle, NoHandleNoDevice) { EXPECT_EQ(MakeHidHandleDevice(OwnedWinHandle(), kLengths), nullptr); }
