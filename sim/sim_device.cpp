#include "sim/sim_device.h"

#include <algorithm>
#include <chrono>

namespace sim {

using platform::HidStatus;
using platform::HidTransfer;

SimDevice::SimDevice(platform::HidInterface info, size_t inputReportLength, size_t outputReportLength)
    : info_(std::move(info)), inputLength_(inputReportLength), outputLength_(outputReportLength) {}

void SimDevice::Unplug() {
  {
    std::lock_guard lock(mutex_);
    plugged_ = false;
    ++generation_;
    inbox_.clear();
  }
  arrived_.notify_all();
}

void SimDevice::Plug() {
  std::lock_guard lock(mutex_);
  plugged_ = true;
}

bool SimDevice::Plugged() const {
  std::lock_guard lock(mutex_);
  return plugged_;
}

uint64_t SimDevice::OpenHandle() {
  std::lock_guard lock(mutex_);
  // A new handle sees only reports that arrive after it was opened, as with the system's hosts.
  inbox_.clear();
  return generation_;
}

void SimDevice::TimeOutWrites(int n) {
  std::lock_guard lock(mutex_);
  writeTimeouts_ = n;
}

void SimDevice::TimeOutReads(int n) {
  std::lock_guard lock(mutex_);
  readTimeouts_ = n;
}

void SimDevice::ShortenReads(int n, size_t bytes) {
  std::lock_guard lock(mutex_);
  shortReads_ = n;
  shortReadBytes_ = bytes;
}

void SimDevice::SetWriteHook(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  writeHook_ = std::move(hook);
}

size_t SimDevice::WriteCount() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

size_t SimDevice::QueuedReports() const {
  std::lock_guard lock(mutex_);
  return inbox_.size();
}

HidTransfer SimDevice::HostWrite(std::span<const uint8_t> report, uint64_t generation,
                                 const std::atomic<bool>& cancelled) {
  std::function<void()> hook;
  {
    std::lock_guard lock(mutex_);
    if (cancelled) return {HidStatus::Cancelled, 0};
    if (!AliveLocked(generation) || report.empty()) return {HidStatus::Failed, 0};
    if (writeTimeouts_ > 0) {
      --writeTimeouts_;
      return {HidStatus::TimedOut, 0};
    }
    ++writes_;
    OnOutputReport(report);
    hook = writeHook_;
  }
  if (hook) hook();
  return {HidStatus::Ok, report.size()};
}

HidTransfer SimDevice::HostRead(std::span<uint8_t> buffer, int timeoutMs, uint64_t generation,
                                const std::atomic<bool>& cancelled) {
  std::unique_lock lock(mutex_);
  if (readTimeouts_ > 0 && AliveLocked(generation) && !cancelled) {
    --readTimeouts_;
    // The answer never came: it is not left waiting for the next read either.
    if (!inbox_.empty()) inbox_.pop_front();
    return {HidStatus::TimedOut, 0};
  }
  auto ready = [&] { return cancelled || !AliveLocked(generation) || !inbox_.empty(); };
  if (timeoutMs < 0) {
    arrived_.wait(lock, ready);
  } else if (!arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
    return {HidStatus::TimedOut, 0};
  }
  if (cancelled) return {HidStatus::Cancelled, 0};
  if (!AliveLocked(generation)) return {HidStatus::Failed, 0};
  std::vector<uint8_t> report = std::move(inbox_.front());
  inbox_.pop_front();
  size_t n = std::min(report.size(), buffer.size());
  if (shortReads_ > 0) {
    --shortReads_;
    n = std::min(n, shortReadBytes_);
  }
  std::copy_n(report.begin(), n, buffer.begin());
  return {HidStatus::Ok, n};
}

void SimDevice::WakeReaders() {
  // Taking the lock orders the wake-up after a reader that is about to wait.
  { std::lock_guard lock(mutex_); }
  arrived_.notify_all();
}

void SimDevice::QueueLocked(std::vector<uint8_t> report) {
  inbox_.push_back(std::move(report));
  arrived_.notify_all();
}

void SimDevice::Send(std::vector<uint8_t> report) {
  std::lock_guard lock(mutex_);
  if (plugged_) QueueLocked(std::move(report));
}

}  // namespace sim
