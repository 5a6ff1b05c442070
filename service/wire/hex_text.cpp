#include "service/wire/hex_text.h"

namespace service {

std::string LowerHex(const unsigned char* bytes, size_t count) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(count * 2);
  for (size_t i = 0; i < count; ++i) {
    hex += kHex[bytes[i] >> 4];
    hex += kHex[bytes[i] & 0x0F];
  }
  return hex;
}

}  // namespace service
