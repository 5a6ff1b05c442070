// The signature step through CNG: the point imported as an ECC public blob, the bytes hashed with
// SHA-256, and the hash verified against r and s as they come (CNG takes the raw pair, not DER).
#include "updater/p256_verifier.h"

#include <cstring>

#include "platform/cng_digest.h"

namespace {

constexpr size_t kCoordinateBytes = 32;
constexpr size_t kDigestBytes = 32;

// The key blob CNG imports: its header, then X and Y.
struct EccPublicBlob {
  BCRYPT_ECCKEY_BLOB header;
  uint8_t coordinates[2 * kCoordinateBytes];
};
static_assert(sizeof(EccPublicBlob) == sizeof(BCRYPT_ECCKEY_BLOB) + 2 * kCoordinateBytes);
static_assert(kP256PointBytes == 1 + 2 * kCoordinateBytes && kP256SignatureBytes == 2 * kCoordinateBytes);

platform::CngKey KeyOf(BCRYPT_ALG_HANDLE algorithm, const P256Point& point) {
  // Only the uncompressed form carries both coordinates.
  if (point[0] != 0x04) return platform::CngKey();
  EccPublicBlob blob{};
  blob.header.dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
  blob.header.cbKey = kCoordinateBytes;
  std::memcpy(blob.coordinates, point.data() + 1, sizeof blob.coordinates);
  BCRYPT_KEY_HANDLE key = nullptr;
  if (!BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &key,
                                          reinterpret_cast<PUCHAR>(&blob), sizeof blob, 0))) {
    return platform::CngKey();
  }
  return platform::CngKey(key);
}

}  // namespace

bool P256SignatureVerifies(const P256Point& publicKey, const SignedPieces& pieces, const P256Signature& signature) {
  platform::CngAlgorithm algorithm = platform::OpenCngAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  if (!algorithm) return false;
  platform::CngKey key = KeyOf(algorithm.get(), publicKey);
  if (!key) return false;
  platform::CngDigest digest(BCRYPT_SHA256_ALGORITHM);
  for (;;) {
    std::string_view piece;
    if (!pieces(piece)) return false;
    if (piece.empty()) break;
    if (!digest.Add(piece)) return false;
  }
  uint8_t hash[kDigestBytes];
  if (!digest.Finish(hash, sizeof hash)) return false;
  P256Signature pair = signature;  // the call takes a writable buffer it does not write
  return BCryptVerifySignature(key.get(), nullptr, hash, sizeof hash, pair.data(), static_cast<ULONG>(pair.size()),
                               0) == 0;  // STATUS_SUCCESS
}
