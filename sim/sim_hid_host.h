#pragma once
// A HID host whose bus holds simulated devices: what the tests, the benchmark and the simulator tool
// plug the simulated scale and pedometer into.

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/hid/hid_host.h"
#include "sim/sim_device.h"

namespace sim {

class SimHidHost final : public platform::HidHost {
 public:
  // Puts a device on the bus; the host shares ownership with the caller.
  void Attach(std::shared_ptr<SimDevice> device);

  std::vector<platform::HidInterface> Enumerate(uint16_t vendorId, uint16_t productId) override;
  // Null for an unknown path or an unplugged device.
  std::unique_ptr<platform::HidDevice> Open(const std::string& path) override;

  size_t EnumerateCalls() const { return enumerations_; }
  size_t OpenCalls() const { return opens_; }

 private:
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<SimDevice>> devices_;
  std::atomic<size_t> enumerations_{0};
  std::atomic<size_t> opens_{0};
};

}  // namespace sim
