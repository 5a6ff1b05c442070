#include "client/core/devices/hid_class.h"

#include <algorithm>
#include <cstdio>

#include "client/core/devices/local_time.h"
#include "client/core/devices/pedometer_replies.h"

namespace {

constexpr uint8_t kReadMemory = kPedometerReadMemory;
constexpr uint8_t kClearDays = 0xB2;
constexpr uint8_t kGetClock = kPedometerGetClock;
constexpr uint8_t kSetClock = 0x63;
constexpr uint8_t kQuery = kPedometerQuery;
constexpr uint8_t kProfile = 0xD1;
constexpr uint16_t kIdAddress = 0xFC00;
constexpr uint16_t kDaysAddress = 0x8000;
constexpr size_t kBlockBytes = 0x400;
constexpr size_t kChunkBytes = kPedometerChunkBytes;

uint8_t ToBcd(int v) { return static_cast<uint8_t>((v / 10) << 4 | (v % 10)); }

}  // namespace

// Holds the busy flag for one command and opens the device for it.
class CHIDClass::Command {
 public:
  explicit Command(CHIDClass& hid) : hid_(hid) {
    if (hid_.busy_) return;
    hid_.busy_ = true;
    owns_ = true;
    if (hid_.Open()) {
      ready_ = true;
    } else {
      hid_.connected_ = false;
    }
  }
  ~Command() {
    if (owns_) hid_.busy_ = false;
  }
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;
  bool Ready() const { return ready_; }

 private:
  CHIDClass& hid_;
  bool owns_ = false;
  bool ready_ = false;
};

CHIDClass::CHIDClass(platform::HidHost& host, const WallClock& clock) : host_(host), clock_(clock) {}

std::string CHIDClass::IdText(uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "A1%.10u", id);
  return text;
}

void CHIDClass::Close() {
  readHandle_.reset();
  writeHandle_.reset();
}

void CHIDClass::GiveUp(platform::HidDevice& failed) {
  failed.Cancel();
  Close();
  connected_ = false;
}

bool CHIDClass::Open() {
  Close();
  for (const auto& one : host_.Enumerate(kVendorId, kProductId)) {
    auto readHandle = host_.Open(one.path);
    auto writeHandle = readHandle ? host_.Open(one.path) : nullptr;
    if (!writeHandle) continue;
    inputLength_ = std::max<size_t>(readHandle->InputReportLength(), 65);
    outputLength_ = std::max<size_t>(writeHandle->OutputReportLength(), 65);
    readHandle_ = std::move(readHandle);
    writeHandle_ = std::move(writeHandle);
    connected_ = true;
    return true;
  }
  return false;
}

bool CHIDClass::Write(std::span<const uint8_t> data) {
  if (!writeHandle_ || data.size() > 64) return false;
  std::vector<uint8_t> report(outputLength_, 0);
  std::copy(data.begin(), data.end(), report.begin() + 1);
  platform::HidTransfer sent = writeHandle_->Write(report, kWriteTimeoutMs);
  if (sent.ok()) return true;
  GiveUp(*writeHandle_);
  return false;
}

std::optional<std::array<uint8_t, 64>> CHIDClass::Read(size_t* length) {
  if (length) *length = 0;
  if (!readHandle_) return std::nullopt;
  std::vector<uint8_t> report(inputLength_, 0);
  platform::HidTransfer got = readHandle_->Read(report, kReadTimeoutMs);
  if (!got.ok() || got.bytes == 0) {
    GiveUp(*readHandle_);
    return std::nullopt;
  }
  std::array<uint8_t, 64> data{};
  size_t n = std::min<size_t>(got.bytes - 1, data.size());
  std::copy_n(report.begin() + 1, n, data.begin());
  if (length) *length = n;
  return data;
}

bool CHIDClass::Send(std::initializer_list<uint8_t> bytes) {
  Command command(*this);
  return command.Ready() && Write(std::span<const uint8_t>(bytes.begin(), bytes.size()));
}

std::optional<std::array<uint8_t, 60>> CHIDClass::ReadMemory(uint16_t address) {
  Command command(*this);
  if (!command.Ready()) return std::nullopt;
  return ReadMemoryOnce(address);
}

std::optional<std::array<uint8_t, 60>> CHIDClass::ReadMemoryOnce(uint16_t address) {
  uint8_t high = static_cast<uint8_t>(address >> 8), low = static_cast<uint8_t>(address);
  const uint8_t request[] = {kReadMemory, high, low, kReadMemory};
  if (!Write(request)) return std::nullopt;
  size_t length = 0;
  auto reply = Read(&length);
  if (!reply) return std::nullopt;
  return DecodeMemoryReply(std::span<const uint8_t>(reply->data(), length), address);
}

bool CHIDClass::ReadId() {
  auto data = ReadMemory(kIdAddress);
  if (!data) return false;
  lastDeviceId_ = uint32_t{(*data)[0]} << 24 | uint32_t{(*data)[1]} << 16 | uint32_t{(*data)[2]} << 8 | (*data)[3];
  return true;
}

std::optional<std::tm> CHIDClass::GetClock() {
  Command command(*this);
  if (!command.Ready()) return std::nullopt;
  const uint8_t request[] = {kGetClock};
  if (!Write(request)) return std::nullopt;
  size_t length = 0;
  auto reply = Read(&length);
  if (!reply) return std::nullopt;
  return DecodeClockReply(std::span<const uint8_t>(reply->data(), length));
}

bool CHIDClass::SetClock() {
  std::tm now = LocalFields(clock_.Now());
  return Send({kSetClock, ToBcd(now.tm_sec), ToBcd(now.tm_min), ToBcd(now.tm_hour), ToBcd(now.tm_mday),
               ToBcd(now.tm_mon + 1), ToBcd((now.tm_year - 100) % 100), kSetClock});
}

bool CHIDClass::ClearDays(int count) {
  return Send({kClearDays, static_cast<uint8_t>(count), kClearDays});
}

bool CHIDClass::SetProfileShort(uint8_t weight, uint8_t height, uint8_t goal, uint32_t userId) {
  return Send({kProfile, weight, height, goal, static_cast<uint8_t>(userId >> 24), static_cast<uint8_t>(userId >> 16),
               static_cast<uint8_t>(userId >> 8), static_cast<uint8_t>(userId), kProfile});
}

bool CHIDClass::SetProfileLong(uint8_t weight, uint8_t height, uint8_t goal, uint8_t unit, uint32_t userId) {
  return Send({kProfile, weight, height, goal, unit, static_cast<uint8_t>(userId >> 24),
               static_cast<uint8_t>(userId >> 16), static_cast<uint8_t>(userId >> 8), static_cast<uint8_t>(userId),
               kProfile});
}

int CHIDClass::Query() {
  const uint8_t request[] = {kQuery};
  if (!Write(request)) return -1;
  size_t length = 0;
  auto reply = Read(&length);
  if (!reply) return -1;
  return DecodeQueryReply(std::span<const uint8_t>(reply->data(), length));
}

std::optional<int> CHIDClass::ReadDays() {
  if (!connected_) return std::nullopt;
  days_.clear();
  for (int n = 0; n < kMaxDays; ++n) {
    PedometerDay day;
    uint16_t base = static_cast<uint16_t>(kDaysAddress + n * kBlockBytes);
    for (size_t at = 0; at < kBlockBytes; at += kChunkBytes) {
      auto chunk = ReadMemory(static_cast<uint16_t>(base + at));
      if (!chunk) {
        days_.clear();
        return std::nullopt;
      }
      std::copy_n(chunk->begin(), std::min(kChunkBytes, kBlockBytes - at), day.data.begin() + at);
    }
    if (!DecodeDayBlockDate(day.data, day)) break;
    day.deviceId = lastDeviceId_;
    days_.push_back(day);
  }
  SetClock();
  return static_cast<int>(days_.size());
}

void CHIDClass::ClearAfterBinding() {
  auto count = ReadDays();
  if (!count) return;
  if (*count >= 2) ClearDays(*count - 1);
  SetClock();
}
