#pragma once
// The device side of one simulated HID interface, and the faults a test can inject into it. A
// simulated device answers output reports the way its firmware would, by queueing input reports.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "platform/hid/hid_host.h"

namespace sim {

class SimDevice {
 public:
  SimDevice(platform::HidInterface info, size_t inputReportLength, size_t outputReportLength);
  virtual ~SimDevice() = default;
  SimDevice(const SimDevice&) = delete;
  SimDevice& operator=(const SimDevice&) = delete;

  const platform::HidInterface& Info() const { return info_; }
  size_t InputReportLength() const { return inputLength_; }
  size_t OutputReportLength() const { return outputLength_; }

  // Unplugging ends every handle opened before it (their transfers fail from then on) and hides
  // the device from enumeration until it is plugged in again.
  void Unplug();
  void Plug();
  bool Plugged() const;
  // Host side: a handle is being opened; its generation.
  uint64_t OpenHandle();

  // Faults: the next n writes or reads time out at once; the next n reads deliver at most bytes.
  void TimeOutWrites(int n);
  void TimeOutReads(int n);
  void ShortenReads(int n, size_t bytes);
  // Runs after every delivered output report, outside the device's lock (a test may call into the
  // host from here, as a second caller would).
  void SetWriteHook(std::function<void()> hook);

  // Output reports delivered so far, and input reports not yet read.
  size_t WriteCount() const;
  size_t QueuedReports() const;

  // Host side, used by the handles of SimHidHost.
  platform::HidTransfer HostWrite(std::span<const uint8_t> report, uint64_t generation,
                                  const std::atomic<bool>& cancelled);
  platform::HidTransfer HostRead(std::span<uint8_t> buffer, int timeoutMs, uint64_t generation,
                                 const std::atomic<bool>& cancelled);
  void WakeReaders();

 protected:
  // Called with the lock held for every output report that reaches the device.
  virtual void OnOutputReport(std::span<const uint8_t> report) = 0;
  // Queues an input report; QueueLocked only from OnOutputReport or with the lock held.
  void QueueLocked(std::vector<uint8_t> report);
  void Send(std::vector<uint8_t> report);
  bool PluggedLocked() const { return plugged_; }

  mutable std::mutex mutex_;

 private:
  bool AliveLocked(uint64_t generation) const { return plugged_ && generation == generation_; }

  platform::HidInterface info_;
  size_t inputLength_;
  size_t outputLength_;
  std::condition_variable arrived_;
  std::deque<std::vector<uint8_t>> inbox_;
  bool plugged_ = true;
  uint64_t generation_ = 1;
  int writeTimeouts_ = 0;
  int readTimeouts_ = 0;
  int shortReads_ = 0;
  size_t shortReadBytes_ = 0;
  size_t writes_ = 0;
  std::function<void()> writeHook_;
};

}  // namespace sim
