// Devices whose nodes never take a report, on the system host's own node layer: every write ends
// with its time-out, and the device then counts as gone.
#include <gtest/gtest.h>

#include "client/core/devices/hid_class.h"
#include "client/core/devices/scale_link.h"
#include "client/core/devices/tests/fakes.h"
#include "platform/hid/hid_node.h"
#include "platform/hid/tests/socket_node.h"

using testing_support::FixedClock;
using testing_support::SecondsOf;
using testing_support::SocketNode;

namespace {

// A bus with one interface whose every opened handle is a node that has stopped draining.
class CloggedHost final : public platform::HidHost {
 public:
  explicit CloggedHost(platform::HidInterface one) : one_(std::move(one)) {}

  std::vector<platform::HidInterface> Enumerate(uint16_t, uint16_t) override { return {one_}; }
  std::unique_ptr<platform::HidDevice> Open(const std::string& path) override {
    if (path != one_.path) return nullptr;
    nodes_.push_back(std::make_unique<SocketNode>());
    if (!nodes_.back()->Clog(65)) return nullptr;
    return platform::MakeHidNodeDevice(nodes_.back()->TakeDeviceEnd(), {false, 65, 65});
  }

 private:
  platform::HidInterface one_;
  std::vector<std::unique_ptr<SocketNode>> nodes_;  // the far ends stay open: the device is there
};


}  // namespace

TEST(StuckDevice, AScaleThatNeverTakesItsAcknowledgementCountsAsGoneAfterItsTimeOut) {
  FixedClock clock;
  CloggedHost host({"/dev/hidraw-scale", ScaleLink::kVendorId, ScaleLink::kProductId, 3, "5A0031C7"});
  ScaleLink link(host, clock);
  ASSERT_TRUE(link.Detect());
  bool acknowledged = true;
  double seconds = SecondsOf([&] { acknowledged = link.AcknowledgeLive(7); });
  EXPECT_FALSE(acknowledged);
  EXPECT_FALSE(link.Connected()) << "a scale that does not take its acknowledgement is gone";
  EXPECT_GE(seconds, 0.45) << "it was given its 500 ms";
  EXPECT_LT(seconds, 5.0);
  EXPECT_TRUE(link.Detect()) << "the next tick finds it again";
}

TEST(StuckDevice, APedometerThatNeverTakesACommandFailsItAndIsNoLongerConnected) {
  FixedClock clock;
  CloggedHost host({"/dev/hidraw-pedometer", CHIDClass::kVendorId, CHIDClass::kProductId, 0, ""});
  CHIDClass hid(host, clock);
  bool read = true;
  double seconds = SecondsOf([&] { read = hid.ReadId(); });
  EXPECT_FALSE(read);
  EXPECT_FALSE(hid.Connected());
  EXPECT_FALSE(hid.Busy());
  EXPECT_LT(seconds, 5.0);
}
