#include "updater/p256_verifier.h"

#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

#include "platform/openssl_handles.h"

namespace {

// A P-256 key's SubjectPublicKeyInfo is this head, naming the algorithm and the curve, then the point.
constexpr uint8_t kSpkiHead[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x02, 0x01,
                                 0x06, 0x08, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00};

struct BytesFree {
  void operator()(unsigned char* bytes) const { OPENSSL_free(bytes); }
};

platform::EvpKey KeyOf(const P256Point& point) {
  uint8_t der[sizeof kSpkiHead + kP256PointBytes];
  std::copy(std::begin(kSpkiHead), std::end(kSpkiHead), der);
  std::copy(point.begin(), point.end(), der + sizeof kSpkiHead);
  const unsigned char* cursor = der;
  // Decoding checks that the point lies on the curve.
  return platform::EvpKey(d2i_PUBKEY(nullptr, &cursor, sizeof der));
}

// OpenSSL verifies the DER form of the two numbers.
std::unique_ptr<unsigned char, BytesFree> DerOf(const P256Signature& raw, int& length) {
  platform::EcdsaSignature signature(ECDSA_SIG_new());
  BIGNUM* r = BN_bin2bn(raw.data(), 32, nullptr);
  BIGNUM* s = BN_bin2bn(raw.data() + 32, 32, nullptr);
  if (!signature || !r || !s || ECDSA_SIG_set0(signature.get(), r, s) != 1) {
    BN_free(r);
    BN_free(s);
    return nullptr;
  }
  unsigned char* der = nullptr;
  length = i2d_ECDSA_SIG(signature.get(), &der);
  return std::unique_ptr<unsigned char, BytesFree>(length > 0 ? der : nullptr);
}

}  // namespace

bool P256SignatureVerifies(const P256Point& publicKey, const SignedPieces& pieces, const P256Signature& signature) {
  auto key = KeyOf(publicKey);
  int derLength = 0;
  auto der = DerOf(signature, derLength);
  platform::EvpDigestContext context(EVP_MD_CTX_new());
  if (!key || !der || !context || EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1) {
    return false;
  }
  for (;;) {
    std::string_view piece;
    if (!pieces(piece)) return false;
    if (piece.empty()) break;
    if (EVP_DigestVerifyUpdate(context.get(), piece.data(), piece.size()) != 1) return false;
  }
  return EVP_DigestVerifyFinal(context.get(), der.get(), static_cast<size_t>(derLength)) == 1;
}
