#pragma once
// The one step of the release check that needs a cryptography library: does an ECDSA P-256
// signature over the SHA-256 of some bytes verify under a public key. Each platform builds its own
// file behind this header (OpenSSL here); both sides take the key and the signature in the raw
// forms below, which every library can read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

inline constexpr size_t kP256PointBytes = 65;      // 0x04, then X and Y of 32 bytes each
inline constexpr size_t kP256SignatureBytes = 64;  // r, then s, 32 bytes each, big-endian

using P256Point = std::array<uint8_t, kP256PointBytes>;
using P256Signature = std::array<uint8_t, kP256SignatureBytes>;

// False also when the point is not on the curve or the library fails.
bool P256SignatureVerifies(const P256Point& publicKey, std::string_view bytes, const P256Signature& signature);
