#include "sim/sim_hid_host.h"

namespace sim {
namespace {

class SimHandle final : public platform::HidDevice {
 public:
  SimHandle(std::shared_ptr<SimDevice> device, uint64_t generation)
      : device_(std::move(device)), generation_(generation) {}

  size_t InputReportLength() const override { return device_->InputReportLength(); }
  size_t OutputReportLength() const override { return device_->OutputReportLength(); }
  platform::HidTransfer Write(std::span<const uint8_t> report, int /*timeoutMs*/) override {
    return device_->HostWrite(report, generation_, cancelled_);
  }
  platform::HidTransfer Read(std::span<uint8_t> buffer, int timeoutMs) override {
    return device_->HostRead(buffer, timeoutMs, generation_, cancelled_);
  }
  void Cancel() override {
    cancelled_ = true;
    device_->WakeReaders();
  }

 private:
  std::shared_ptr<SimDevice> device_;
  uint64_t generation_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace

void SimHidHost::Attach(std::shared_ptr<SimDevice> device) {
  std::lock_guard lock(mutex_);
  devices_.push_back(std::move(device));
}

std::vector<platform::HidInterface> SimHidHost::Enumerate(uint16_t vendorId, uint16_t productId) {
  ++enumerations_;
  std::lock_guard lock(mutex_);
  std::vector<platform::HidInterface> found;
  for (const auto& device : devices_) {
    const auto& info = device->Info();
    if (!device->Plugged()) continue;
    if (vendorId && info.vendorId != vendorId) continue;
    if (productId && info.productId != productId) continue;
    found.push_back(info);
  }
  return found;
}

std::unique_ptr<platform::HidDevice> SimHidHost::Open(const std::string& path) {
  ++opens_;
  std::lock_guard lock(mutex_);
  for (const auto& device : devices_) {
    if (device->Info().path == path && device->Plugged()) {
      return std::make_unique<SimHandle>(device, device->OpenHandle());
    }
  }
  return nullptr;
}

}  // namespace sim
