// The system's HID host on Windows: the HID class is listed without error (under Wine usually with no
// device in it), and nothing but a HID device opens.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/hid/hid_host.h"

TEST(SystemHidHostWindows, ListsTheHidClassAndOnlyTheAskedIds) {
  auto host = platform::MakeSystemHidHost();
  std::vector<platform::HidInterface> all = host->Enumerate(0, 0);
  std::printf("the system lists %zu HID interfaces\n", all.size());
  for (const auto& one : all) {
    EXPECT_FALSE(one.path.empty());
    EXPECT_GE(one.interfaceNumber, -1);
  }
  for (const auto& one : host->Enumerate(0x1915, 0x003B)) {
    EXPECT_EQ(one.vendorId, 0x1915);
    EXPECT_EQ(one.productId, 0x003B);
  }
  // Listing twice gives the same interfaces: nothing is left open or half-read by the first.
  EXPECT_EQ(host->Enumerate(0, 0).size(), all.size());
}

TEST(SystemHidHostWindows, OpensNothingThatIsNotAHidDevice) {
  auto host = platform::MakeSystemHidHost();
  EXPECT_EQ(host->Open(""), nullptr);
  EXPECT_EQ(host->Open("\\\\?\\hid#vid_1915&pid_003b#0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}"), nullptr);
  EXPECT_EQ(host->Open("NUL"), nullptr);
  // A file that opens for reading and writing, yet has no HID capabilities.
  std::filesystem::path file = std::filesystem::temp_directory_path() / "vymera-hid-not-a-device.bin";
  std::FILE* made = std::fopen(file.string().c_str(), "wb");
  ASSERT_NE(made, nullptr);
  std::fclose(made);
  EXPECT_EQ(host->Open(file.string()), nullptr);
  std::error_code ec;
  std::filesystem::remove(file, ec);
  // Not UTF-8: no such device.
  EXPECT_EQ(host->Open(std::string("\\\\?\\hid#\xFF\xFE")), nullptr);
}

// Wine lists a virtual mouse and keyboard of its own (vendor 0x845E), with input reports only;
// Windows keeps its keyboards and mice from being opened for reading and writing at all.
TEST(SystemHidHostWindows, AListedDeviceOpensWithTheLengthsOfItsCapabilities) {
  auto host = platform::MakeSystemHidHost();
  std::unique_ptr<platform::HidDevice> device;
  for (const auto& one : host->Enumerate(0, 0)) {
    if ((device = host->Open(one.path))) break;
  }
  if (!device) GTEST_SKIP() << "no listed HID device opens for reading and writing on this system";
  ASSERT_GT(device->InputReportLength(), 0u);
  std::vector<uint8_t> buffer(device->InputReportLength());
  platform::HidStatus read = device->Read(buffer, 30).status;
  EXPECT_TRUE(read == platform::HidStatus::TimedOut || read == platform::HidStatus::Ok);
  if (device->OutputReportLength() == 0) {
    EXPECT_EQ(device->Write(std::vector<uint8_t>{0, 1}, 30).status, platform::HidStatus::Failed);
  }
  device->Cancel();
  EXPECT_EQ(device->Read(buffer, -1).status, platform::HidStatus::Cancelled);
}
