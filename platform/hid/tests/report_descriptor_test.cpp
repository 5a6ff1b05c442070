#include "platform/hid/report_descriptor.h"

#include <gtest/gtest.h>

#include <vector>

using platform::ParseReportDescriptor;

namespace {
std::vector<uint8_t> VendorPage(uint8_t inCount, uint8_t outCount) {
  // Vendor usage page, one collection, 8-bit input and output fields, no report ids.
  return {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  //
          0x75, 0x08, 0x95, inCount, 0x09, 0x01, 0x81, 0x02,
          0x95, outCount, 0x09, 0x01, 0x91, 0x02, 0xC0};
}
}  // namespace

TEST(ReportDescriptor, UnnumberedReportsCountTheIdByteAsTheSystemDoes) {
  auto layout = ParseReportDescriptor(VendorPage(64, 64));
  EXPECT_FALSE(layout.numbered);
  EXPECT_EQ(layout.inputBytes, 65u);
  EXPECT_EQ(layout.outputBytes, 65u);

  auto scale = ParseReportDescriptor(VendorPage(32, 32));
  EXPECT_EQ(scale.inputBytes, 33u);
}

TEST(ReportDescriptor, NumberedReportsTakeTheLongestAndFieldsOfOneReportAddUp) {
  std::vector<uint8_t> d = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,
                            0x85, 0x01, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02,  // id 1: 4 bytes
                            0x75, 0x01, 0x95, 0x04, 0x81, 0x02,              // id 1: + 4 bits
                            0x85, 0x02, 0x75, 0x08, 0x95, 0x10, 0x81, 0x02,  // id 2: 16 bytes
                            0x85, 0x03, 0x96, 0x00, 0x01, 0x91, 0x02,        // id 3 out: 256 bytes
                            0xC0};
  auto layout = ParseReportDescriptor(d);
  EXPECT_TRUE(layout.numbered);
  EXPECT_EQ(layout.inputBytes, 17u);
  EXPECT_EQ(layout.outputBytes, 257u);
}

TEST(ReportDescriptor, PushPopAndLongItemsKeepTheGlobalsRight) {
  std::vector<uint8_t> d = {0x75, 0x08, 0x95, 0x02,
                            0xA4, 0x95, 0x40, 0xB4,        // count 64 pushed and popped again
                            0xFE, 0x02, 0x10, 0xAA, 0xBB,  // a long item is skipped whole
                            0x81, 0x02};
  EXPECT_EQ(ParseReportDescriptor(d).inputBytes, 3u);
}

TEST(ReportDescriptor, TruncatedOrEmptyDescriptorsGiveWhatWasCounted) {
  EXPECT_EQ(ParseReportDescriptor({}).inputBytes, 0u);
  std::vector<uint8_t> cut = {0x75, 0x08, 0x95, 0x04, 0x81, 0x02, 0x96, 0x00};
  auto layout = ParseReportDescriptor(cut);
  EXPECT_EQ(layout.inputBytes, 5u);
  EXPECT_EQ(layout.outputBytes, 0u);
  std::vector<uint8_t> longCut = {0xFE};
  EXPECT_EQ(ParseReportDescriptor(longCut).inputBytes, 0u);
  std::vector<uint8_t> deepPush(200, 0xA4);
  EXPECT_EQ(ParseReportDescriptor(deepPush).inputBytes, 0u);
}

TEST(ReportDescriptor, ReportsLongerThanTheKernelPassesCountAsTheLongestItDoes) {
  // 0xFFFFFFFF fields of 0xFFFFFFFF bits each, twice: far beyond any buffer.
  std::vector<uint8_t> d = {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF,
                            0x81, 0x02, 0x81, 0x02, 0x91, 0x02};
  auto layout = ParseReportDescriptor(d);
  EXPECT_EQ(layout.inputBytes, platform::kMaxHidReportBytes);
  EXPECT_EQ(layout.outputBytes, platform::kMaxHidReportBytes);
}
