#include "platform/bridge/messages.h"

#include <gtest/gtest.h>

namespace b = platform::bridge;

namespace {

template <class M>
M RoundTrip(const M& m) {
  auto back = b::FromFrame<M>(b::ToFrame(m));
  EXPECT_TRUE(back.has_value());
  return back.value_or(M{});
}

template <class M>
bool Refused(const M& m) {
  return !b::FromFrame<M>(b::ToFrame(m)).has_value();
}

platform::HidInterface Interface(std::string path) { return {std::move(path), 0x1915, 0x003B, 3, "5A0031C7"}; }

}  // namespace

TEST(BridgeMessages, GoldenBytesOfARequestAndItsReply) {
  EXPECT_EQ(b::ToFrame(b::EnumerateRequest{0x1915, 0x003B}).payload, (std::vector<uint8_t>{0x15, 0x19, 0x3B, 0x00}));
  b::InterfaceList list{{{"s", 0x1915, 0x003B, 3, "A"}}};
  EXPECT_EQ(b::ToFrame(list).type, 0x81);
  EXPECT_EQ(b::ToFrame(list).payload, (std::vector<uint8_t>{1, 0, 0, 0,  1, 0, 0, 0, 's',  0x15, 0x19, 0x3B, 0x00,
                                                             3, 0, 0, 0,  1, 0, 0, 0, 'A'}));
  b::TransferReply read{platform::HidStatus::Ok, 2, {0xAA, 0xBB}};
  EXPECT_EQ(b::ToFrame(read, b::TransferReply::kReadType).payload,
            (std::vector<uint8_t>{0, 2, 0, 0, 0, 2, 0, 0, 0, 0xAA, 0xBB}));
}

TEST(BridgeMessages, EveryMessageComesBackAsItWasSent) {
  b::InterfaceList list{{Interface("sim:scale:if3"), {"sim:pedometer", 0x9456, 0x0001, -1, ""}}};
  EXPECT_EQ(RoundTrip(list), list);
  EXPECT_EQ(RoundTrip(b::OpenReply{true, 33, 65}), (b::OpenReply{true, 33, 65}));
  EXPECT_EQ(RoundTrip(b::WriteRequest{{0, 7, 1}, 500}), (b::WriteRequest{{0, 7, 1}, 500}));
  EXPECT_EQ(RoundTrip(b::ReadRequest{512, -1}), (b::ReadRequest{512, -1}));
  EXPECT_EQ(RoundTrip(b::TrackerDeviceIdReply{8800123456789LL}).id, 8800123456789LL);
  EXPECT_EQ(RoundTrip(b::TrackerDeviceIdReply{-1}).id, -1);

  std::tm clock{};
  clock.tm_year = 124, clock.tm_mon = 4, clock.tm_mday = 31, clock.tm_hour = 23, clock.tm_min = 59, clock.tm_sec = 60;
  EXPECT_EQ(RoundTrip(b::TrackerClockReply{clock}), b::TrackerClockReply{clock});
  EXPECT_FALSE(RoundTrip(b::TrackerClockReply{}).clock);

  b::TrackerDaysReply days{{{0, 2024, 3, 5, "steps=8000"}, {29, 2024, 3, 6, std::string(b::kMaxDayData, 'x')}}};
  EXPECT_EQ(RoundTrip(days), days);
  b::TrackerSetParametersRequest p{{1, 30, 175, 70, 75, 8000, 2}};
  EXPECT_EQ(RoundTrip(p), p);
  EXPECT_EQ(RoundTrip(b::CommandReply{true, "ok\n"}), (b::CommandReply{true, "ok\n"}));

  b::TransferReply write{platform::HidStatus::TimedOut, 0, {}};
  auto back = b::TransferFromFrame(b::ToFrame(write, b::TransferReply::kWriteType), b::TransferReply::kWriteType);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->status, platform::HidStatus::TimedOut);
}

TEST(BridgeMessages, RefusesWhatBreaksABound) {
  b::InterfaceList many;
  many.interfaces.assign(b::kMaxInterfaces + 1, Interface("p"));
  EXPECT_TRUE(Refused(many));
  EXPECT_TRUE(Refused(b::InterfaceList{{Interface("")}}));
  EXPECT_TRUE(Refused(b::InterfaceList{{Interface(std::string(b::kMaxPathBytes + 1, 'p'))}}));
  EXPECT_TRUE(Refused(b::OpenRequest{""}));
  EXPECT_TRUE(Refused(b::OpenReply{true, 2000, 65}));
  EXPECT_TRUE(Refused(b::WriteRequest{{}, 20}));
  EXPECT_TRUE(Refused(b::WriteRequest{std::vector<uint8_t>(b::kMaxReportBytes + 1), 20}));
  EXPECT_TRUE(Refused(b::WriteRequest{{0}, -1}));
  EXPECT_TRUE(Refused(b::ReadRequest{0, 80}));
  EXPECT_TRUE(Refused(b::ReadRequest{65, -2}));
  EXPECT_TRUE(Refused(b::ReadRequest{65, b::kMaxWaitMs + 1}));
  EXPECT_TRUE(Refused(b::CommandRequest{std::string(b::kMaxCommandBytes + 1, 'w')}));

  std::tm bad{};
  bad.tm_year = 124, bad.tm_mday = 32;
  EXPECT_TRUE(Refused(b::TrackerClockReply{bad}));
  EXPECT_TRUE(Refused(b::TrackerDaysReply{{{30, 2024, 3, 5, "x"}}}));
  EXPECT_TRUE(Refused(b::TrackerDaysReply{{{4, 2024, 3, 5, "x"}, {4, 2024, 3, 6, "y"}}}));  // twice
  EXPECT_TRUE(Refused(b::TrackerDaysReply{{{5, 2024, 3, 5, "x"}, {4, 2024, 3, 6, "y"}}}));  // out of order
  EXPECT_TRUE(Refused(b::TrackerDaysReply{{{0, 2024, 13, 5, "x"}}}));
  EXPECT_TRUE(Refused(b::TrackerDaysReply{{{0, 2024, 3, 5, std::string(b::kMaxDayData + 1, 'x')}}}));

  // A read must carry what it says it read; a write carries nothing; a status beyond the known ones.
  auto transfer = [](b::TransferReply r, uint8_t type) { return b::TransferFromFrame(b::ToFrame(r, type), type); };
  EXPECT_FALSE(transfer({platform::HidStatus::Ok, 3, {1, 2}}, b::TransferReply::kReadType));
  EXPECT_FALSE(transfer({platform::HidStatus::Ok, 2, {1, 2}}, b::TransferReply::kWriteType));
  b::Frame unknownStatus = b::ToFrame(b::TransferReply{}, b::TransferReply::kWriteType);
  unknownStatus.payload[0] = 4;
  EXPECT_FALSE(b::TransferFromFrame(unknownStatus, b::TransferReply::kWriteType));
  EXPECT_FALSE(b::TransferFromFrame(b::ToFrame(b::TransferReply{}, b::TransferReply::kReadType),
                                    b::TransferReply::kWriteType));
}

TEST(BridgeMessages, RefusesAFrameOfAnotherTypeATruncatedOneOrOneWithBytesToSpare) {
  b::Frame enumerate = b::ToFrame(b::EnumerateRequest{1, 2});
  EXPECT_FALSE(b::FromFrame<b::OpenRequest>(enumerate));
  b::Frame longer = enumerate;
  longer.payload.push_back(0);
  EXPECT_FALSE(b::FromFrame<b::EnumerateRequest>(longer));
  b::Frame shorter = enumerate;
  shorter.payload.pop_back();
  EXPECT_FALSE(b::FromFrame<b::EnumerateRequest>(shorter));
  EXPECT_FALSE(b::FromFrame<b::TrackerAttachedRequest>(b::Frame{b::type::kTrackerAttached, {0}}));
  EXPECT_FALSE(b::FromFrame<b::TrackerAttachedReply>(b::Frame{b::TrackerAttachedReply::kType, {2}}));

  // A text whose length runs past the end of the payload, and a length beyond every bound.
  EXPECT_FALSE(b::FromFrame<b::ErrorReply>(b::Frame{b::type::kError, {5, 0, 0, 0, 'a'}}));
  EXPECT_FALSE(b::FromFrame<b::ErrorReply>(b::Frame{b::type::kError, {0xFF, 0xFF, 0xFF, 0xFF}}));
}
