#pragma once
// The one step of the release check that needs a cryptography library: does an ECDSA P-256
// signature over the SHA-256 of some bytes verify under a public key. The bytes are hashed as they
// come, so a release is checked from its file without ever being held whole. Each platform builds its own
// file behind this header (OpenSSL here); both sides take the key and the signature in the raw
// forms below, which every library can read.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

inline constexpr size_t kP256PointBytes = 65;      // 0x04, then X and Y of 32 bytes each
inline constexpr size_t kP256SignatureBytes = 64;  // r, then s, 32 bytes each, big-endian

using P256Point = std::array<uint8_t, kP256PointBytes>;
using P256Signature = std::array<uint8_t, kP256SignatureBytes>;

// The signed bytes, piece by piece: each call sets piece to the next one and returns true; an empty
// piece ends them; false means they could not be read, and nothing verifies.
using SignedPieces = std::function<bool(std::string_view& piece)>;

// False also when the point is not on the curve, a piece cannot be read or the library fails.
bool P256SignatureVerifies(const P256Point& publicKey, const SignedPieces& pieces, const P256Signature& signature);
