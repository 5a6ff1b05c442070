#include "platform/bridge/payload.h"

namespace platform::bridge {

void PayloadWriter::Little(uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PayloadWriter::Bytes(std::span<const uint8_t> bytes) {
  U32(static_cast<uint32_t>(bytes.size()));
  out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void PayloadWriter::Text(const std::string& text) {
  Bytes(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::span<const uint8_t> PayloadReader::Take(size_t n) {
  if (failed_ || n > in_.size() - at_) {
    failed_ = true;
    return {};
  }
  std::span<const uint8_t> out = in_.subspan(at_, n);
  at_ += n;
  return out;
}

uint64_t PayloadReader::Little(int bytes) {
  std::span<const uint8_t> b = Take(static_cast<size_t>(bytes));
  uint64_t v = 0;
  for (size_t i = 0; i < b.size(); ++i) v |= uint64_t{b[i]} << (8 * i);
  return v;
}

bool PayloadReader::Flag() {
  uint8_t v = U8();
  if (v > 1) failed_ = true;
  return v == 1;
}

std::vector<uint8_t> PayloadReader::Bytes(size_t maxBytes) {
  uint32_t n = U32();
  if (n > maxBytes) failed_ = true;
  std::span<const uint8_t> b = Take(failed_ ? 0 : n);
  return failed_ ? std::vector<uint8_t>{} : std::vector<uint8_t>(b.begin(), b.end());
}

std::string PayloadReader::Text(size_t maxBytes) {
  std::vector<uint8_t> b = Bytes(maxBytes);
  return std::string(b.begin(), b.end());
}

}  // namespace platform::bridge
