#include "platform/hid/hid_handle.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// How long a transfer that was cancelled may take to come back before its buffers are left to it.
constexpr DWORD kCancelGraceMs = 5000;

// One overlapped transfer and the buffer the system fills or reads while it is pending.
struct Transfer {
  OVERLAPPED overlapped{};
  OwnedWinHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::vector<uint8_t> buffer;
  bool pending = false;
};

enum class Waited { Done, TimedOut, Cancelled, Failed };

class HidHandleDevice final : public HidDevice {
 public:
  HidHandleDevice(OwnedWinHandle file, HidReportLengths lengths)
      : file_(std::move(file)), lengths_(lengths), cancelled_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  ~HidHandleDevice() override;

  bool Ready() const { return file_ && cancelled_ && read_->done && write_->done; }
  size_t InputReportLength() const override { return lengths_.input; }
  size_t OutputReportLength() const override { return lengths_.output; }
  HidTransfer Write(std::span<const uint8_t> report, int timeoutMs) override;
  HidTransfer Read(std::span<uint8_t> buffer, int timeoutMs) override;
  void Cancel() override;

 private:
  bool Cancelled() const { return WaitForSingleObject(cancelled_.get(), 0) == WAIT_OBJECT_0; }
  // Starts transfer: a read of the input length, or a write of what its buffer holds.
  bool Start(Transfer& transfer, bool write);
  // Waits for a pending transfer until deadline (none: without limit) or Cancel.
  Waited Wait(Transfer& transfer, const std::optional<Clock::time_point>& deadline);
  // The bytes a finished transfer moved; false when it failed (the device is gone, say).
  bool Finish(Transfer& transfer, DWORD& bytes);
  // Gives up a pending transfer: the system is asked to end it, and it is waited for within a grace.
  // False when it did not end; its buffers then stay with it.
  bool Abandon(Transfer& transfer);

  OwnedWinHandle file_;
  HidReportLengths lengths_;
  OwnedWinHandle cancelled_;  // manual-reset: set once by Cancel, never reset
  std::mutex readMutex_, writeMutex_;
  std::unique_ptr<Transfer> read_ = std::make_unique<Transfer>();
  std::unique_ptr<Transfer> write_ = std::make_unique<Transfer>();
};

std::optional<Clock::time_point> DeadlineAfter(int timeoutMs) {
  if (timeoutMs < 0) return std::nullopt;
  return Clock::now() + std::chrono::milliseconds(timeoutMs);
}

HidHandleDevice::~HidHandleDevice() {
  for (std::unique_ptr<Transfer>* transfer : {&read_, &write_}) {
    // A transfer the system still holds keeps its buffers for good rather than have them freed
    // under it.
    if ((*transfer)->pending && !Abandon(**transfer)) (void)transfer->release();
  }
}

bool HidHandleDevice::Start(Transfer& transfer, bool write) {
  ResetEvent(transfer.done.get());
  transfer.overlapped = OVERLAPPED{};
  transfer.overlapped.hEvent = transfer.done.get();
  DWORD length = static_cast<DWORD>(transfer.buffer.size());
  BOOL started = write ? WriteFile(file_.get(), transfer.buffer.data(), length, nullptr, &transfer.overlapped)
                       : ReadFile(file_.get(), transfer.buffer.data(), length, nullptr, &transfer.overlapped);
  // Finished at once or under way: either way the event is set when it is done.
  if (!started && GetLastError() != ERROR_IO_PENDING) return false;
  transfer.pending = true;
  return true;
}

Waited HidHandleDevice::Wait(Transfer& transfer, const std::optional<Clock::time_point>& deadline) {
  HANDLE waits[2] = {transfer.done.get(), cancelled_.get()};
  for (;;) {
    DWORD ms = INFINITE;
    if (deadline) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
      ms = static_cast<DWORD>(std::clamp<long long>(left, 0, 60'000));
    }
    DWORD woke = WaitForMultipleObjects(2, waits, FALSE, ms);
    if (woke == WAIT_OBJECT_0) return Waited::Done;
    if (woke == WAIT_OBJECT_0 + 1) return Waited::Cancelled;
    if (woke != WAIT_TIMEOUT) return Waited::Failed;
    if (deadline && Clock::now() >= *deadline) return Waited::TimedOut;
  }
}

bool HidHandleDevice::Finish(Transfer& transfer, DWORD& bytes) {
  transfer.pending = false;
  return GetOverlappedResult(file_.get(), &transfer.overlapped, &bytes, FALSE);
}

bool HidHandleDevice::Abandon(Transfer& transfer) {
  CancelIoEx(file_.get(), &transfer.overlapped);
  if (WaitForSingleObject(transfer.done.get(), kCancelGraceMs) != WAIT_OBJECT_0) return false;
  DWORD ignored = 0;
  Finish(transfer, ignored);
  return true;
}

HidTransfer HidHandleDevice::Read(std::span<uint8_t> buffer, int timeoutMs) {
  if (Cancelled()) return {HidStatus::Cancelled, 0};
  if (buffer.empty() || lengths_.input == 0) return {HidStatus::Failed, 0};
  std::lock_guard lock(readMutex_);
  Transfer& transfer = *read_;
  if (!transfer.pending) {
    // The system hands over whole reports only, into a buffer of the input length.
    transfer.buffer.assign(lengths_.input, 0);
    if (!Start(transfer, false)) return {HidStatus::Failed, 0};
  }
  switch (Wait(transfer, DeadlineAfter(timeoutMs))) {
    // Still pending: the report it brings is the next Read's.
    case Waited::TimedOut:
      return {HidStatus::TimedOut, 0};
    case Waited::Cancelled:
      return {HidStatus::Cancelled, 0};
    case Waited::Failed:
      return {HidStatus::Failed, 0};
    case Waited::Done:
      break;
  }
  DWORD got = 0;
  if (!Finish(transfer, got)) return {Cancelled() ? HidStatus::Cancelled : HidStatus::Failed, 0};
  // A device that is gone may end reads with nothing in them.
  if (got == 0) return {HidStatus::Failed, 0};
  size_t n = std::min<size_t>(got, buffer.size());
  std::memcpy(buffer.data(), transfer.buffer.data(), n);
  return {HidStatus::Ok, n};
}

HidTransfer HidHandleDevice::Write(std::span<const uint8_t> report, int timeoutMs) {
  if (Cancelled()) return {HidStatus::Cancelled, 0};
  if (report.empty() || report.size() > lengths_.output) return {HidStatus::Failed, 0};
  std::lock_guard lock(writeMutex_);
  Transfer& transfer = *write_;
  auto deadline = DeadlineAfter(timeoutMs);
  // A write given up on earlier may still be with the system: this one waits its turn, within its time.
  if (transfer.pending) {
    Waited earlier = Wait(transfer, deadline);
    if (earlier == Waited::TimedOut) return {HidStatus::TimedOut, 0};
    if (earlier == Waited::Cancelled) return {HidStatus::Cancelled, 0};
    DWORD ignored = 0;
    Finish(transfer, ignored);
  }
  transfer.buffer.assign(lengths_.output, 0);
  std::copy(report.begin(), report.end(), transfer.buffer.begin());
  if (!Start(transfer, true)) return {HidStatus::Failed, 0};
  Waited waited = Wait(transfer, deadline);
  if (waited != Waited::Done) {
    // The report is not sent late: the system is asked to drop it.
    CancelIoEx(file_.get(), &transfer.overlapped);
    if (waited == Waited::Cancelled) return {HidStatus::Cancelled, 0};
    return {waited == Waited::TimedOut ? HidStatus::TimedOut : HidStatus::Failed, 0};
  }
  DWORD sent = 0;
  if (!Finish(transfer, sent)) return {Cancelled() ? HidStatus::Cancelled : HidStatus::Failed, 0};
  // The padding is ours; the caller hears of its own bytes.
  return {HidStatus::Ok, std::min<size_t>(sent, report.size())};
}

void HidHandleDevice::Cancel() {
  SetEvent(cancelled_.get());
  CancelIoEx(file_.get(), nullptr);
}

}  // namespace

std::unique_ptr<HidDevice> MakeHidHandleDevice(OwnedWinHandle file, HidReportLengths lengths) {
  auto device = std::make_unique<HidHandleDevice>(std::move(file), lengths);
  if (!device->Ready()) return nullptr;
  return device;
}

}  // namespace platform
