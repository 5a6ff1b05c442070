// Plays a pedometer whose replies are fuzzed bytes and runs the client's commands against it: each
// reply (the bytes after the report id) is one length byte and that many bytes (cut to the input). The decoders see every length,
// echo and BCD byte a device could send; Read days sees whatever day blocks the memory replies make.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "client/core/api/api_forms.h"
#include "client/core/devices/hid_class.h"
#include "client/core/devices/local_time.h"
#include "client/core/devices/pedometer_replies.h"
#include "testing/fixed_clock.h"

namespace {

class Replies {
 public:
  Replies(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  // The next reply, or nothing once the input is used up (the device then stops answering).
  std::optional<std::vector<uint8_t>> Next() {
    if (at_ >= size_) return std::nullopt;
    size_t length = data_[at_++];
    length = std::min(length, size_ - at_);
    std::vector<uint8_t> reply(data_ + at_, data_ + at_ + length);
    at_ += length;
    return reply;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

class FuzzedPedometer final : public platform::HidDevice {
 public:
  explicit FuzzedPedometer(Replies& replies) : replies_(replies) {}
  size_t InputReportLength() const override { return 65; }
  size_t OutputReportLength() const override { return 65; }
  platform::HidTransfer Write(std::span<const uint8_t> report, int) override {
    return {platform::HidStatus::Ok, report.size()};
  }
  // The reply after report id 0, as the host hands reports over; an empty reply is a report of no
  // bytes at all.
  platform::HidTransfer Read(std::span<uint8_t> buffer, int) override {
    std::optional<std::vector<uint8_t>> reply = replies_.Next();
    if (!reply) return {platform::HidStatus::TimedOut, 0};
    if (reply->empty() || buffer.empty()) return {platform::HidStatus::Ok, 0};
    buffer[0] = 0;
    size_t n = std::min(reply->size(), buffer.size() - 1);
    std::copy_n(reply->begin(), n, buffer.begin() + 1);
    return {platform::HidStatus::Ok, n + 1};
  }
  void Cancel() override {}

 private:
  Replies& replies_;
};

class FuzzedHost final : public platform::HidHost {
 public:
  explicit FuzzedHost(Replies& replies) : replies_(replies) {}
  std::vector<platform::HidInterface> Enumerate(uint16_t, uint16_t) override {
    return {{"fuzz:pedometer", CHIDClass::kVendorId, CHIDClass::kProductId, 0, ""}};
  }
  std::unique_ptr<platform::HidDevice> Open(const std::string&) override {
    return std::make_unique<FuzzedPedometer>(replies_);
  }

 private:
  Replies& replies_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The decoders on the whole input as one reply.
  std::span<const uint8_t> whole(data, size);
  if (auto memory = DecodeMemoryReply(whole, 0x8000); memory && size < 63) std::abort();
  if (auto clock = DecodeClockReply(whole)) (void)TimeFromLocalFields(*clock);
  int query = DecodeQueryReply(whole);
  if (query < -1 || query > 255) std::abort();

  // The commands of a detection tick and a sync pass.
  Replies replies(data, size);
  FuzzedHost host(replies);
  testing_support::FixedClock clock(1716193800);
  CHIDClass hid(host, clock);
  if (hid.ReadId()) (void)CHIDClass::IdText(hid.LastDeviceId());
  if (auto clockNow = hid.GetClock()) (void)TimeFromLocalFields(*clockNow);
  (void)hid.Query();
  if (std::optional<int> days = hid.ReadDays()) {
    if (*days < 0 || *days > CHIDClass::kMaxDays || hid.Days().size() != static_cast<size_t>(*days)) std::abort();
    for (const PedometerDay& day : hid.Days()) {
      if (api_forms::PedometerDate(day).size() > 32 || api_forms::PedometerFile(day).size() != 3 * day.data.size()) {
        std::abort();
      }
    }
  }
  return 0;
}
