#pragma once
// Several HID hosts seen as one: their interfaces listed one host after the other, and each path
// opened by the first host that opens it. This is how a developer's build shows vymera-sim's
// devices beside the system's.

#include <memory>
#include <vector>

#include "platform/hid/hid_host.h"

namespace platform {

class CompositeHidHost final : public HidHost {
 public:
  explicit CompositeHidHost(std::vector<std::unique_ptr<HidHost>> hosts) : hosts_(std::move(hosts)) {}

  std::vector<HidInterface> Enumerate(uint16_t vendorId, uint16_t productId) override;
  std::unique_ptr<HidDevice> Open(const std::string& path) override;

 private:
  std::vector<std::unique_ptr<HidHost>> hosts_;
};

}  // namespace platform
