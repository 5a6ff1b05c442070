#pragma once
// Field by field writing and reading of bridge payloads: integers little-endian, byte strings and
// texts as a 32-bit length and the bytes. The reader checks every length against the caller's
// maximum and against what is left; after the first fault it reads nothing more and says so.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform::bridge {

class PayloadWriter {
 public:
  void U8(uint8_t v) { out_.push_back(v); }
  void U16(uint16_t v) { Little(v, 2); }
  void U32(uint32_t v) { Little(v, 4); }
  void I32(int32_t v) { Little(static_cast<uint32_t>(v), 4); }
  void I64(int64_t v) { Little(static_cast<uint64_t>(v), 8); }
  void Bytes(std::span<const uint8_t> bytes);
  void Text(const std::string& text);
  std::vector<uint8_t> Take() { return std::move(out_); }

 private:
  void Little(uint64_t v, int bytes);
  std::vector<uint8_t> out_;
};

class PayloadReader {
 public:
  explicit PayloadReader(std::span<const uint8_t> payload) : in_(payload) {}

  uint8_t U8() { return static_cast<uint8_t>(Little(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Little(2)); }
  uint32_t U32() { return static_cast<uint32_t>(Little(4)); }
  int32_t I32() { return static_cast<int32_t>(static_cast<uint32_t>(Little(4))); }
  int64_t I64() { return static_cast<int64_t>(Little(8)); }
  // A 0 or 1 byte; anything else is a fault.
  bool Flag();
  // A length of at most maxBytes and that many bytes.
  std::vector<uint8_t> Bytes(size_t maxBytes);
  std::string Text(size_t maxBytes);
  // Marks the payload as faulty, for a value the caller finds out of range.
  void Refuse() { failed_ = true; }

  bool Failed() const { return failed_; }
  // True when every byte was read without a fault.
  bool Done() const { return !failed_ && at_ == in_.size(); }

 private:
  uint64_t Little(int bytes);
  std::span<const uint8_t> Take(size_t n);

  std::span<const uint8_t> in_;
  size_t at_ = 0;
  bool failed_ = false;
};

}  // namespace platform::bridge
