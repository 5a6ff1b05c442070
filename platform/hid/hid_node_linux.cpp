#include "platform/hid/hid_node.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/hid/node_writer.h"

namespace platform {
namespace {

class HidNodeDevice final : public HidDevice {
 public:
  HidNodeDevice(std::shared_ptr<HidNodeShared> shared, HidReportLayout layout)
      : shared_(std::move(shared)), layout_(layout), writer_(shared_) {}

  size_t InputReportLength() const override { return layout_.inputBytes; }
  size_t OutputReportLength() const override { return layout_.outputBytes; }

  HidTransfer Write(std::span<const uint8_t> report, int timeoutMs) override {
    return writer_.Write(report, timeoutMs);
  }

  HidTransfer Read(std::span<uint8_t> buffer, int timeoutMs) override;

  void Cancel() override { shared_->Cancel(); }

 private:
  std::shared_ptr<HidNodeShared> shared_;
  HidReportLayout layout_;
  NodeWriter writer_;
};

HidTransfer HidNodeDevice::Read(std::span<uint8_t> buffer, int timeoutMs) {
  // hidraw leaves out the id byte of unnumbered reports; put the 0 back so callers see the wire form.
  size_t idByte = layout_.numbered ? 0 : 1;
  if (buffer.size() <= idByte || !shared_->cancelled) return {HidStatus::Failed, 0};
  buffer[0] = 0;
  uint8_t* into = buffer.data() + idByte;
  size_t room = buffer.size() - idByte;
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  for (;;) {
    int waitMs = -1;
    if (timeoutMs >= 0) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
      waitMs = static_cast<int>(std::clamp<long long>(left, 0, 60'000));
    }
    pollfd waits[2] = {{shared_->node.get(), POLLIN, 0}, {shared_->cancelled.get(), POLLIN, 0}};
    int ready = poll(waits, 2, waitMs);
    if (ready < 0 && errno != EINTR) return {HidStatus::Failed, 0};
    if (waits[1].revents) return {HidStatus::Cancelled, 0};
    if (ready == 0) {
      if (timeoutMs >= 0 && Clock::now() >= deadline) return {HidStatus::TimedOut, 0};
      continue;
    }
    if (!(waits[0].revents & POLLIN)) {
      if (waits[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return {HidStatus::Failed, 0};
      continue;
    }
    ssize_t n = read(shared_->node.get(), into, room);
    if (n > 0) return {HidStatus::Ok, static_cast<size_t>(n) + idByte};
    // End of file: the device (or whatever stands in for it) is gone.
    if (n == 0 || (errno != EINTR && errno != EAGAIN)) return {HidStatus::Failed, 0};
  }
}

}  // namespace

std::unique_ptr<HidDevice> MakeHidNodeDevice(UniqueFd node, HidReportLayout layout) {
  auto shared = std::make_shared<HidNodeShared>();
  shared->node = std::move(node);
  shared->cancelled = UniqueFd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
  return std::make_unique<HidNodeDevice>(std::move(shared), layout);
}

std::unique_ptr<HidDevice> OpenHidrawNode(const std::string& path, HidReportLayout layout) {
  if (path.empty()) return nullptr;
  UniqueFd node(open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
  if (!node) return nullptr;
  hidraw_devinfo info{};
  if (ioctl(node.get(), HIDIOCGRAWINFO, &info) != 0) return nullptr;
  return MakeHidNodeDevice(std::move(node), layout);
}

}  // namespace platform
