#include "service/admin/release_signer.h"

#include <openssl/bn.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "service/admin/developer_key.h"
#include "platform/openssl_handles.h"
#include "service/wire/hex_text.h"

namespace service {
namespace {

constexpr int kNumberBytes = 32;

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool IsP256(EVP_PKEY* key) {
  char group[64] = {};
  return EVP_PKEY_is_a(key, "EC") && EVP_PKEY_get_group_name(key, group, sizeof group, nullptr) == 1 &&
         (std::strcmp(group, "prime256v1") == 0 || std::strcmp(group, "P-256") == 0);
}

// OpenSSL signs in DER; the updaters read r and s as two fixed-width numbers.
std::optional<std::string> RawOf(const unsigned char* der, size_t length) {
  platform::EcdsaSignature signature(d2i_ECDSA_SIG(nullptr, &der, static_cast<long>(length)));
  if (!signature) return std::nullopt;
  unsigned char raw[2 * kNumberBytes];
  if (BN_bn2binpad(ECDSA_SIG_get0_r(signature.get()), raw, kNumberBytes) != kNumberBytes ||
      BN_bn2binpad(ECDSA_SIG_get0_s(signature.get()), raw + kNumberBytes, kNumberBytes) != kNumberBytes) {
    return std::nullopt;
  }
  return LowerHex(raw, sizeof raw);
}

}  // namespace

std::string_view DeveloperReleaseKey() { return kDeveloperReleaseKeyPath; }

std::optional<std::string> SignRelease(const std::string& keyPath, std::string_view bytes, std::string& problem) {
  std::unique_ptr<std::FILE, FileClose> file(std::fopen(keyPath.c_str(), "rb"));
  if (!file) {
    problem = "the key file cannot be opened";
    return std::nullopt;
  }
  platform::EvpKey key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
  if (!key || !IsP256(key.get())) {
    problem = "not a PEM P-256 private key (make one with: openssl genpkey -algorithm EC -pkeyopt "
              "ec_paramgen_curve:P-256 -out release.pem)";
    return std::nullopt;
  }
  platform::EvpDigestContext context(EVP_MD_CTX_new());
  unsigned char der[128];
  size_t length = sizeof der;
  if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1 ||
      EVP_DigestSign(context.get(), der, &length, reinterpret_cast<const unsigned char*>(bytes.data()),
                     bytes.size()) != 1) {
    problem = "signing failed";
    return std::nullopt;
  }
  auto raw = RawOf(der, length);
  if (!raw) problem = "signing failed";
  return raw;
}

}  // namespace service
