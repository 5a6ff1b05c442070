#include <gtest/gtest.h>

#include <bit>
#include <thread>

#include "client/core/devices/local_time.h"
#include "client/core/devices/scale_frame.h"
#include "client/core/devices/scale_link.h"
#include "client/core/devices/tests/fakes.h"
#include "sim/sim_hid_host.h"
#include "sim/sim_scale.h"

using testing_support::FixedClock;
using testing_support::RecordingTarget;

namespace {

constexpr uint32_t kDevice = 0x0A0B0C0D;

ScaleFrameBytes ToFrame(const std::vector<uint8_t>& bytes) {
  ScaleFrameBytes f{};
  std::copy_n(bytes.begin(), f.size(), f.begin());
  return f;
}

struct ScaleRig {
  FixedClock clock;
  sim::SimHidHost host;
  std::shared_ptr<sim::SimScale> scale = std::make_shared<sim::SimScale>("5A0031C7", 3);
  RecordingTarget window;
  PendingWeights pending;
  ScaleLink link{host, clock};
  size_t handled = 0;

  ScaleRig() {
    host.Attach(std::make_shared<sim::SimScale>("5A0031C7", 0));  // the receiver's other interface
    host.Attach(scale);
    link.SetFrameTarget(&window);
  }
  // Runs the main window's side for every frame message up to count.
  void Handle(size_t count, platform::MessageTarget* dialog = nullptr) {
    ASSERT_TRUE(window.WaitFor(count));
    for (; handled < count; ++handled) {
      ASSERT_EQ(window.Messages()[handled].message, ScaleLink::kFrameMessage);
      ASSERT_EQ(window.Messages()[handled].wParam, 33u);
      link.HandleFrameMessage(pending, dialog);
    }
  }
};

}  // namespace

TEST(ScaleFrame, DecodesTheFieldsAndBuildsBothAcknowledgements) {
  auto frame = DecodeScaleFrame(ToFrame(sim::SimScale::Frame(0x30, kDevice, 80.4f, 0x01020304, 0x77)));
  EXPECT_EQ(frame.deviceId, kDevice);
  EXPECT_FLOAT_EQ(frame.weight, 80.4f);
  EXPECT_EQ(frame.recordSeconds, 0x01020304u);
  EXPECT_EQ(frame.kind, ScaleFrame::Stored);
  EXPECT_EQ(frame.recordByte, 0x77);
  auto raw = ToFrame(sim::SimScale::Frame(0x20, kDevice, 1.0f, 0, 0));
  raw[5] = 0xA7;  // only bits 4-6 tell the kind
  EXPECT_EQ(DecodeScaleFrame(raw).kind, ScaleFrame::Live);

  ScaleFrameBytes live = LiveAcknowledgement(kDevice, 0x11223344);
  ScaleFrameBytes expectLive{0x00, 0x07, 0x0A, 0x0B, 0x0C, 0x0D, 0x11, 0x22, 0x33, 0x44};
  EXPECT_EQ(live, expectLive);
  ScaleFrameBytes stored = StoredAcknowledgement(kDevice, 0x77, 0x11223344);
  ScaleFrameBytes expectStored{0x00, 0x07, 0x0A, 0x0B, 0x0C, 0x0D, 0x77, 0x11, 0x22, 0x33, 0x44};
  EXPECT_EQ(stored, expectStored);
}

TEST(ScaleLink, DetectTakesOnlyTheDataInterfaceAndFollowsUnplugAndReplug) {
  FixedClock clock;
  sim::SimHidHost host;
  auto other = std::make_shared<sim::SimScale>("5A0031C7", 0);
  host.Attach(other);
  ScaleLink link(host, clock);
  EXPECT_FALSE(link.Detect());
  EXPECT_EQ(link.Serial(), "W1");

  auto data = std::make_shared<sim::SimScale>("5A0031C7", 3, "sim:scale:a");
  host.Attach(data);
  EXPECT_TRUE(link.Detect());
  EXPECT_EQ(link.Serial(), "W15A0031C7");
  size_t opens = host.OpenCalls();
  EXPECT_TRUE(link.Detect());
  EXPECT_EQ(host.OpenCalls(), opens) << "a detected scale is not opened again";

  data->Unplug();
  EXPECT_FALSE(link.Detect());
  EXPECT_FALSE(link.Connected());

  // Pulled and put back between two ticks, on another path: the new interface is opened.
  data->Plug();
  EXPECT_TRUE(link.Detect());
  data->Unplug();
  auto again = std::make_shared<sim::SimScale>("5A0031C7", 3, "sim:scale:b");
  host.Attach(again);
  EXPECT_TRUE(link.Detect());
  RecordingTarget window;
  link.SetFrameTarget(&window);
  again->SendLive(kDevice, 70.0f);
  EXPECT_TRUE(window.WaitFor(1));
}

TEST(ScaleLink, LiveThenStoredFramesBecomeReadingsAndAreAcknowledged) {
  ScaleRig rig;
  ASSERT_TRUE(rig.link.Detect());
  rig.scale->SendLive(kDevice, 72.5f);
  rig.Handle(1);
  std::tm taken{};
  taken.tm_year = 124, taken.tm_mon = 3, taken.tm_mday = 2, taken.tm_hour = 7, taken.tm_min = 5, taken.tm_sec = 9;
  uint32_t when = SecondsSince2000(TimeFromLocalFields(taken));
  rig.scale->SendStored(kDevice, 71.9f, when, 0x03);
  rig.scale->SendStored(kDevice, 71.2f, when + 86400, 0x04);
  rig.Handle(3);

  const auto& readings = rig.pending.Readings();
  ASSERT_EQ(readings.size(), 3u);
  EXPECT_FLOAT_EQ(readings[0].weight, 72.5f);
  EXPECT_EQ(readings[0].time, "2024-05-20");
  EXPECT_EQ(readings[0].exacttime, "2024-05-20-08-30-00");
  EXPECT_EQ(readings[1].time, "2024-04-02");
  EXPECT_EQ(readings[1].exacttime, "2024-04-02-07-05-09");
  EXPECT_EQ(readings[2].time, "2024-04-03");
  EXPECT_FALSE(readings[2].uploaded);

  auto acks = rig.scale->Acks();
  ASSERT_EQ(acks.size(), 3u);
  for (const auto& ack : acks) {
    EXPECT_TRUE(ack.matched);
    EXPECT_EQ(ack.seconds, SecondsSince2000(rig.clock.Now()));
  }
  EXPECT_EQ(acks[2].recordByte, 0x04);
}

TEST(ScaleLink, StoredFrameBeforeAnyLiveFrameIsDroppedUnacknowledged) {
  ScaleRig rig;
  ASSERT_TRUE(rig.link.Detect());
  rig.scale->SendStored(kDevice, 71.9f, 1000, 0x03);
  rig.Handle(1);
  EXPECT_TRUE(rig.pending.Empty());
  EXPECT_TRUE(rig.scale->Acks().empty());
  EXPECT_FALSE(rig.link.LiveFrameSeen());
}

TEST(ScaleLink, ReportsOfOtherLengthsAndUnknownKindsAreIgnored) {
  ScaleRig rig;
  ASSERT_TRUE(rig.link.Detect());
  rig.scale->SendRaw(std::vector<uint8_t>(20, 0x20));
  rig.scale->SendRaw(std::vector<uint8_t>(64, 0x20));
  rig.scale->SendRaw(sim::SimScale::Frame(0x40, kDevice, 60.0f, 0, 0));
  rig.scale->SendLive(kDevice, 61.0f);
  rig.Handle(2);
  ASSERT_EQ(rig.window.Messages().size(), 2u);
  ASSERT_EQ(rig.pending.Size(), 1u);
  EXPECT_FLOAT_EQ(rig.pending.Readings()[0].weight, 61.0f);
}

TEST(ScaleLink, FramesArrivingFasterThanTheyAreHandledAllArriveIntact) {
  ScaleRig rig;
  ASSERT_TRUE(rig.link.Detect());
  for (int i = 0; i < 40; ++i) rig.scale->SendLive(kDevice, 50.0f + static_cast<float>(i) / 10.0f);
  ASSERT_TRUE(rig.window.WaitFor(40));
  rig.Handle(40);
  ASSERT_EQ(rig.pending.Size(), 40u);
  for (int i = 0; i < 40; ++i) EXPECT_FLOAT_EQ(rig.pending.Readings()[i].weight, 50.0f + static_cast<float>(i) / 10.0f);
}

TEST(ScaleLink, LiveWeightGoesToTheOpenSettingsDialogOnly) {
  ScaleRig rig;
  RecordingTarget dialog;
  ASSERT_TRUE(rig.link.Detect());
  rig.scale->SendLive(kDevice, 64.3f);
  rig.Handle(1, &dialog);
  rig.scale->SendStored(kDevice, 64.0f, 5000, 1);
  rig.Handle(2, &dialog);
  auto posted = dialog.Messages();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].message, ScaleLink::kLiveWeightMessage);
  EXPECT_EQ(posted[0].wParam, 0u);
  EXPECT_FLOAT_EQ(std::bit_cast<float>(static_cast<uint32_t>(posted[0].lParam)), 64.3f);
}

TEST(ScaleLink, AcknowledgementThatTimesOutGivesUpTheScale) {
  ScaleRig rig;
  ASSERT_TRUE(rig.link.Detect());
  rig.scale->TimeOutWrites(1);
  rig.scale->SendLive(kDevice, 64.3f);
  rig.Handle(1);
  EXPECT_EQ(rig.pending.Size(), 1u);
  EXPECT_FALSE(rig.link.Connected());
  EXPECT_FALSE(rig.link.AcknowledgeLive(kDevice));
  EXPECT_TRUE(rig.link.Detect());
  EXPECT_TRUE(rig.link.AcknowledgeLive(kDevice));
}

TEST(ScaleLink, FramesBeforeTheWindowIsPublishedOrAfterItIsGoneAreNotQueued) {
  FixedClock clock;
  sim::SimHidHost host;
  auto scale = std::make_shared<sim::SimScale>();
  host.Attach(scale);
  ScaleLink link(host, clock);
  ASSERT_TRUE(link.Detect());
  scale->SendLive(kDevice, 60.0f);
  RecordingTarget window;
  window.Close();
  link.SetFrameTarget(&window);
  scale->SendLive(kDevice, 61.0f);
  // Give the reader time to take both reports.
  for (int i = 0; i < 200 && scale->QueuedReports() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  PendingWeights pending;
  link.HandleFrameMessage(pending, nullptr);
  EXPECT_TRUE(pending.Empty());
}
