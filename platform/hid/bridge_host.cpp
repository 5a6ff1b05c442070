#include "platform/hid/bridge_host.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

namespace bridge = platform::bridge;

// One open interface of the simulator, on a connection of its own.
class BridgeDevice final : public HidDevice {
 public:
  BridgeDevice(std::unique_ptr<bridge::Connection> connection, size_t inputLength, size_t outputLength)
      : connection_(std::move(connection)), inputLength_(inputLength), outputLength_(outputLength) {}

  size_t InputReportLength() const override { return inputLength_; }
  size_t OutputReportLength() const override { return outputLength_; }

  HidTransfer Write(std::span<const uint8_t> report, int timeoutMs) override {
    std::lock_guard lock(mutex_);
    if (cancelled_) return {HidStatus::Cancelled, 0};
    if (dead_ || report.empty() || report.size() > bridge::kMaxReportBytes) return {HidStatus::Failed, 0};
    bridge::WriteRequest request;
    request.report.assign(report.begin(), report.end());
    request.timeoutMs = std::clamp(timeoutMs, 0, bridge::kMaxWaitMs);
    return Transfer(bridge::ToFrame(request), bridge::TransferReply::kWriteType, request.timeoutMs, nullptr);
  }

  HidTransfer Read(std::span<uint8_t> buffer, int timeoutMs) override {
    std::lock_guard lock(mutex_);
    if (cancelled_) return {HidStatus::Cancelled, 0};
    if (dead_ || buffer.empty()) return {HidStatus::Failed, 0};
    bridge::ReadRequest request;
    request.maxBytes = static_cast<uint32_t>(std::min(buffer.size(), bridge::kMaxReportBytes));
    if (timeoutMs < 0) {
      request.timeoutMs = -1;
      return Transfer(bridge::ToFrame(request), bridge::TransferReply::kReadType, -1, &buffer);
    }
    // A wait longer than one request may ask for is asked for in parts.
    int left = timeoutMs;
    for (;;) {
      request.timeoutMs = std::min(left, bridge::kMaxWaitMs);
      left -= request.timeoutMs;
      HidTransfer got = Transfer(bridge::ToFrame(request), bridge::TransferReply::kReadType, request.timeoutMs, &buffer);
      if (got.status != HidStatus::TimedOut || left <= 0 || dead_) return got;
    }
  }

  void Cancel() override {
    cancelled_ = true;
    connection_->Shutdown();
  }

 private:
  // One request and its reply; waitMs is what the device may take (negative: no limit).
  HidTransfer Transfer(const bridge::Frame& request, uint8_t replyType, int waitMs, std::span<uint8_t>* into) {
    bridge::Frame reply;
    bridge::Deadline deadline = waitMs < 0 ? bridge::Deadline{} : bridge::After(waitMs + BridgeHidHost::kTransitMs);
    bridge::IoStatus io = connection_->Exchange(request, reply, deadline);
    std::optional<bridge::TransferReply> answer;
    if (io == bridge::IoStatus::Ok) answer = bridge::TransferFromFrame(reply, replyType);
    if (!answer) {
      // Whatever went wrong, the stream no longer lines up requests with replies.
      dead_ = true;
      if (cancelled_) return {HidStatus::Cancelled, 0};
      return {io == bridge::IoStatus::TimedOut ? HidStatus::TimedOut : HidStatus::Failed, 0};
    }
    if (cancelled_) return {HidStatus::Cancelled, 0};
    if (into && answer->status == HidStatus::Ok) {
      size_t n = std::min(answer->data.size(), into->size());
      std::memcpy(into->data(), answer->data.data(), n);
      return {HidStatus::Ok, n};
    }
    return {answer->status, answer->status == HidStatus::Ok ? answer->bytes : 0};
  }

  std::mutex mutex_;  // one transfer at a time on the connection
  std::unique_ptr<bridge::Connection> connection_;
  size_t inputLength_;
  size_t outputLength_;
  std::atomic<bool> cancelled_{false};
  std::atomic<bool> dead_{false};
};

}  // namespace

BridgeHidHost::BridgeHidHost(std::string socketPath, bridge::SessionTiming timing)
    : session_(std::move(socketPath), timing) {}

std::vector<HidInterface> BridgeHidHost::Enumerate(uint16_t vendorId, uint16_t productId) {
  auto list = session_.Ask<bridge::InterfaceList>(bridge::EnumerateRequest{vendorId, productId});
  if (!list) return {};
  std::vector<HidInterface> found;
  for (HidInterface& one : list->interfaces) {
    // The simulator is asked for these ids; it is not trusted to have listened.
    if ((vendorId && one.vendorId != vendorId) || (productId && one.productId != productId)) continue;
    one.path = kPathPrefix + one.path;
    found.push_back(std::move(one));
  }
  return found;
}

std::unique_ptr<HidDevice> BridgeHidHost::Open(const std::string& path) {
  size_t prefix = std::strlen(kPathPrefix);
  if (path.size() <= prefix || path.compare(0, prefix, kPathPrefix) != 0) return nullptr;
  bridge::Frame reply;
  auto connection = session_.Dedicated(bridge::ToFrame(bridge::OpenRequest{path.substr(prefix)}), reply);
  if (!connection) return nullptr;
  auto opened = bridge::FromFrame<bridge::OpenReply>(reply);
  if (!opened || !opened->opened) return nullptr;
  return std::make_unique<BridgeDevice>(std::move(connection), opened->inputLength, opened->outputLength);
}

}  // namespace platform
