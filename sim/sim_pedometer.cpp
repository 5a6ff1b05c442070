#include "sim/sim_pedometer.h"

#include <algorithm>

namespace sim {
namespace {

uint8_t ToBcd(int v) { return static_cast<uint8_t>((v / 10) << 4 | (v % 10)); }
int FromBcd(uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); }

}  // namespace

SimPedometer::SimPedometer(uint32_t id, std::string path)
    : SimDevice({std::move(path), kVendorId, kProductId, 0, {}}, kReportBytes, kReportBytes) {
  memory_.fill(0xFF);
  for (int i = 0; i < 4; ++i) memory_[kIdAddress + i] = static_cast<uint8_t>(id >> (24 - 8 * i));
  clock_.tm_year = 124;
  clock_.tm_mon = 0;
  clock_.tm_mday = 1;
}

bool SimPedometer::AddDay(int year, int month, int day, uint8_t fill) {
  std::lock_guard lock(mutex_);
  if (days_ >= kMaxDays) return false;
  uint8_t* block = &memory_[kDaysAddress + days_ * kBlockBytes];
  std::fill_n(block, kBlockBytes, fill);
  block[0] = ToBcd(year - 2000);
  block[1] = ToBcd(month);
  block[2] = ToBcd(day);
  // A position mark, so that tests see which bytes of a block went where.
  block[3] = static_cast<uint8_t>(days_);
  ++days_;
  return true;
}

int SimPedometer::DayCount() const {
  std::lock_guard lock(mutex_);
  return days_;
}

std::array<uint8_t, SimPedometer::kBlockBytes> SimPedometer::Block(int n) const {
  std::lock_guard lock(mutex_);
  std::array<uint8_t, kBlockBytes> out;
  std::copy_n(&memory_[kDaysAddress + n * kBlockBytes], kBlockBytes, out.begin());
  return out;
}

void SimPedometer::SetClock(const std::tm& local) {
  std::lock_guard lock(mutex_);
  clock_ = local;
}

std::tm SimPedometer::Clock() const {
  std::lock_guard lock(mutex_);
  return clock_;
}

void SimPedometer::SetQueryValue(std::optional<uint8_t> value) {
  std::lock_guard lock(mutex_);
  query_ = value;
}

void SimPedometer::CorruptEchoes(int n) {
  std::lock_guard lock(mutex_);
  corruptEchoes_ = n;
}

void SimPedometer::SetClockReplyHead(uint8_t head) {
  std::lock_guard lock(mutex_);
  clockReplyHead_ = head;
}

std::optional<SimPedometer::Profile> SimPedometer::LastProfile() const {
  std::lock_guard lock(mutex_);
  return profile_;
}

std::vector<int> SimPedometer::Clears() const {
  std::lock_guard lock(mutex_);
  return clears_;
}

int SimPedometer::ClockSets() const {
  std::lock_guard lock(mutex_);
  return clockSets_;
}

int SimPedometer::MemoryReads() const {
  std::lock_guard lock(mutex_);
  return memoryReads_;
}

void SimPedometer::Reply(std::initializer_list<uint8_t> head, std::span<const uint8_t> tail) {
  std::vector<uint8_t> r(kReportBytes, 0);
  size_t at = 1;
  for (uint8_t b : head) r[at++] = b;
  for (uint8_t b : tail) {
    if (at >= r.size()) break;
    r[at++] = b;
  }
  QueueLocked(std::move(r));
}

void SimPedometer::OnOutputReport(std::span<const uint8_t> report) {
  if (report.size() < 2 || report[0] != 0x00) return;
  std::span<const uint8_t> c = report.subspan(1);
  auto at = [&](size_t i) -> uint8_t { return i < c.size() ? c[i] : 0; };
  auto bigEndian32 = [&](size_t i) {
    return uint32_t{at(i)} << 24 | uint32_t{at(i + 1)} << 16 | uint32_t{at(i + 2)} << 8 | at(i + 3);
  };
  switch (c[0]) {
    case 0xB1: {  // read memory
      if (at(3) != 0xB1) return;
      ++memoryReads_;
      size_t addr = size_t{at(1)} << 8 | at(2);
      std::array<uint8_t, 60> data{};
      for (size_t i = 0; i < data.size(); ++i) data[i] = memory_[(addr + i) & 0xFFFF];
      uint8_t high = at(1);
      if (corruptEchoes_ > 0) {
        --corruptEchoes_;
        high ^= 0x01;
      }
      Reply({0xB1, high, at(2)}, data);
      return;
    }
    case 0x64:  // get clock
      Reply({clockReplyHead_, ToBcd(clock_.tm_sec), ToBcd(clock_.tm_min), ToBcd(clock_.tm_hour), ToBcd(clock_.tm_mday),
             ToBcd(clock_.tm_mon + 1), ToBcd(clock_.tm_year - 100)});
      return;
    case 0x63:  // set clock
      if (at(7) != 0x63) return;
      ++clockSets_;
      clock_ = {};
      clock_.tm_sec = FromBcd(at(1));
      clock_.tm_min = FromBcd(at(2));
      clock_.tm_hour = FromBcd(at(3));
      clock_.tm_mday = FromBcd(at(4));
      clock_.tm_mon = FromBcd(at(5)) - 1;
      clock_.tm_year = FromBcd(at(6)) + 100;
      return;
    case 0xB2: {  // clear the n oldest day blocks
      if (at(2) != 0xB2) return;
      int n = std::min<int>(at(1), days_);
      clears_.push_back(at(1));
      uint8_t* base = &memory_[kDaysAddress];
      std::copy(base + n * kBlockBytes, base + days_ * kBlockBytes, base);
      std::fill(base + (days_ - n) * kBlockBytes, base + kMaxDays * kBlockBytes, 0xFF);
      days_ -= n;
      return;
    }
    case 0x84:  // query
      if (query_) {
        Reply({0x84, *query_, 0x84});
      } else {
        Reply({0x00});
      }
      return;
    case 0xD1: {  // profile, long form where the device knows Query, short form otherwise
      Profile p;
      if (query_ && at(9) == 0xD1) {
        p.longForm = true;
        p.unit = at(4);
        p.userId = bigEndian32(5);
      } else if (at(8) == 0xD1) {
        p.userId = bigEndian32(4);
      } else {
        return;
      }
      p.weight = at(1);
      p.height = at(2);
      p.goal = at(3);
      profile_ = p;
      return;
    }
    default:
      return;
  }
}

}  // namespace sim
