#include "updater/release_signature.h"

#include <openssl/evp.h>

#include <memory>
#include <optional>

#include "updater/release_key.h"

namespace {

std::optional<std::string> FromHex(std::string_view hex, size_t bytes) {
  if (hex.size() != bytes * 2) return std::nullopt;
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out(bytes, '\0');
  for (size_t i = 0; i < bytes; ++i) {
    int high = nibble(hex[2 * i]);
    int low = nibble(hex[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    out[i] = static_cast<char>(high << 4 | low);
  }
  return out;
}

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

std::string_view BuiltInReleaseKey() { return kReleasePublicKey; }

bool ReleaseSignatureAccepts(std::string_view publicKeyHex, std::string_view bytes, std::string_view signatureHex) {
  if (publicKeyHex.empty()) return true;
  auto rawKey = FromHex(publicKeyHex, 32);
  auto signature = FromHex(signatureHex, 64);
  if (!rawKey || !signature) return false;
  std::unique_ptr<EVP_PKEY, KeyFree> key(EVP_PKEY_new_raw_public_key(
      EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(rawKey->data()), rawKey->size()));
  std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  if (!key || !context || EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1) return false;
  return EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature->data()), signature->size(),
                          reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) == 1;
}
