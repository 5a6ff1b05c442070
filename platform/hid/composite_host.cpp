#include "platform/hid/composite_host.h"

namespace platform {

std::vector<HidInterface> CompositeHidHost::Enumerate(uint16_t vendorId, uint16_t productId) {
  std::vector<HidInterface> all;
  for (const auto& host : hosts_) {
    std::vector<HidInterface> some = host->Enumerate(vendorId, productId);
    all.insert(all.end(), std::make_move_iterator(some.begin()), std::make_move_iterator(some.end()));
  }
  return all;
}

std::unique_ptr<HidDevice> CompositeHidHost::Open(const std::string& path) {
  for (const auto& host : hosts_) {
    if (auto device = host->Open(path)) return device;
  }
  return nullptr;
}

}  // namespace platform
