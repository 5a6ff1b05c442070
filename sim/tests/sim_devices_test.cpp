#include <gtest/gtest.h>

#include <thread>

#include "sim/sim_hid_host.h"
#include "sim/sim_pedometer.h"
#include "sim/sim_scale.h"

namespace {

std::vector<uint8_t> Command(std::initializer_list<uint8_t> bytes) {
  std::vector<uint8_t> r(sim::SimPedometer::kReportBytes, 0);
  size_t at = 1;
  for (uint8_t b : bytes) r[at++] = b;
  return r;
}

std::vector<uint8_t> ReadReply(platform::HidDevice& h) {
  std::vector<uint8_t> r(sim::SimPedometer::kReportBytes, 0);
  auto got = h.Read(r, 0);
  r.resize(got.ok() ? got.bytes : 0);
  return r;
}

}  // namespace

TEST(SimHidHost, UnplugEndsOpenHandlesAndHidesTheDeviceUntilPluggedAgain) {
  sim::SimHidHost host;
  auto scale = std::make_shared<sim::SimScale>();
  host.Attach(scale);
  auto handle = host.Open(scale->Info().path);
  ASSERT_NE(handle, nullptr);
  ASSERT_EQ(host.Enumerate(sim::SimScale::kVendorId, sim::SimScale::kProductId).size(), 1u);
  EXPECT_TRUE(host.Enumerate(0x9456, 0).empty());

  scale->Unplug();
  EXPECT_TRUE(host.Enumerate(0, 0).empty());
  EXPECT_EQ(host.Open(scale->Info().path), nullptr);
  uint8_t buffer[33];
  EXPECT_EQ(handle->Read(buffer, 10).status, platform::HidStatus::Failed);

  scale->Plug();
  EXPECT_EQ(handle->Write(std::vector<uint8_t>(33, 0), 10).status, platform::HidStatus::Failed);
  EXPECT_NE(host.Open(scale->Info().path), nullptr);
}

TEST(SimHidHost, CancelWakesAWaitingReaderAndStaysCancelled) {
  sim::SimHidHost host;
  auto scale = std::make_shared<sim::SimScale>();
  host.Attach(scale);
  auto handle = host.Open(scale->Info().path);
  std::thread reader([&] {
    uint8_t buffer[512];
    EXPECT_EQ(handle->Read(buffer, -1).status, platform::HidStatus::Cancelled);
  });
  handle->Cancel();
  reader.join();
  scale->SendLive(1, 60.0f);
  uint8_t buffer[33];
  EXPECT_EQ(handle->Read(buffer, 0).status, platform::HidStatus::Cancelled);
}

TEST(SimScale, MatchesAcknowledgementsToTheFramesTheyAnswer) {
  sim::SimHidHost host;
  auto scale = std::make_shared<sim::SimScale>();
  host.Attach(scale);
  auto handle = host.Open(scale->Info().path);
  scale->SendStored(0x01020304, 71.3f, 1000, 0x05);

  std::vector<uint8_t> frame(33);
  ASSERT_EQ(handle->Read(frame, 0).bytes, 33u);
  EXPECT_EQ(frame[5], sim::SimScale::kStored);
  EXPECT_EQ((frame[7] << 8 | frame[8]), 713);

  std::vector<uint8_t> wrong(33, 0);
  wrong[1] = 0x07;
  wrong[2] = 1, wrong[3] = 2, wrong[4] = 3, wrong[5] = 4;
  wrong[6] = 0x06;  // not the frame's record byte
  handle->Write(wrong, 500);
  std::vector<uint8_t> right = wrong;
  right[6] = 0x05;
  right[10] = 0x2A;
  handle->Write(right, 500);

  auto acks = scale->Acks();
  ASSERT_EQ(acks.size(), 2u);
  EXPECT_FALSE(acks[0].matched);
  EXPECT_TRUE(acks[1].matched);
  EXPECT_EQ(acks[1].seconds, 0x2Au);
  EXPECT_EQ(scale->Unanswered(), 0u);
}

TEST(SimPedometer, ReadsMemoryWithEchoesAndCorruptsThemOnRequest) {
  sim::SimHidHost host;
  auto ped = std::make_shared<sim::SimPedometer>(0xA0B0C0D0);
  host.Attach(ped);
  auto h = host.Open(ped->Info().path);
  h->Write(Command({0xB1, 0xFC, 0x00, 0xB1}), 20);
  auto reply = ReadReply(*h);
  ASSERT_EQ(reply.size(), 65u);
  EXPECT_EQ(reply[1], 0xB1);
  EXPECT_EQ(reply[2], 0xFC);
  EXPECT_EQ(reply[4], 0xA0);
  EXPECT_EQ(reply[7], 0xD0);

  ped->CorruptEchoes(1);
  h->Write(Command({0xB1, 0xFC, 0x00, 0xB1}), 20);
  EXPECT_NE(ReadReply(*h)[2], 0xFC);
}

TEST(SimPedometer, ClearDaysDropsTheOldestBlocksAndKeepsTheRest) {
  sim::SimHidHost host;
  auto ped = std::make_shared<sim::SimPedometer>(1);
  host.Attach(ped);
  ASSERT_TRUE(ped->AddDay(2024, 5, 1));
  ASSERT_TRUE(ped->AddDay(2024, 5, 2));
  ASSERT_TRUE(ped->AddDay(2024, 5, 3));
  auto h = host.Open(ped->Info().path);
  h->Write(Command({0xB2, 2, 0xB2}), 20);
  EXPECT_EQ(ped->DayCount(), 1);
  EXPECT_EQ(ped->Block(0)[2], 0x03);
  EXPECT_EQ(ped->Block(1)[0], 0xFF);
  EXPECT_EQ(ped->Clears(), std::vector<int>{2});
}

TEST(SimPedometer, KeepsABcdClockAndTellsTheProfileForms) {
  sim::SimHidHost host;
  auto ped = std::make_shared<sim::SimPedometer>(1);
  host.Attach(ped);
  auto h = host.Open(ped->Info().path);
  h->Write(Command({0x63, 0x59, 0x30, 0x23, 0x31, 0x12, 0x24, 0x63}), 20);
  h->Write(Command({0x64}), 20);
  auto clock = ReadReply(*h);
  EXPECT_EQ(std::vector<uint8_t>(clock.begin() + 1, clock.begin() + 8),
            (std::vector<uint8_t>{0x64, 0x59, 0x30, 0x23, 0x31, 0x12, 0x24}));
  EXPECT_EQ(ped->Clock().tm_year, 124);

  h->Write(Command({0xD1, 60, 170, 5, 2, 0, 0, 1, 0, 0xD1}), 20);
  ASSERT_TRUE(ped->LastProfile());
  EXPECT_TRUE(ped->LastProfile()->longForm);
  EXPECT_EQ(ped->LastProfile()->userId, 256u);

  ped->SetQueryValue(std::nullopt);
  h->Write(Command({0x84}), 20);
  EXPECT_NE(ReadReply(*h)[1], 0x84);
  h->Write(Command({0xD1, 61, 171, 6, 0, 0, 0, 7, 0xD1}), 20);
  EXPECT_FALSE(ped->LastProfile()->longForm);
  EXPECT_EQ(ped->LastProfile()->userId, 7u);
}
