#include "service/admin/release_signer.h"

#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <memory>

#include "service/wire/hex_text.h"

namespace service {
namespace {

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

std::optional<std::string> SignRelease(const std::string& keyPath, std::string_view bytes, std::string& problem) {
  std::unique_ptr<std::FILE, FileClose> file(std::fopen(keyPath.c_str(), "rb"));
  if (!file) {
    problem = "the key file cannot be opened";
    return std::nullopt;
  }
  std::unique_ptr<EVP_PKEY, KeyFree> key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
  if (!key || EVP_PKEY_id(key.get()) != EVP_PKEY_ED25519) {
    problem = "not a PEM Ed25519 private key (make one with: openssl genpkey -algorithm ed25519)";
    return std::nullopt;
  }
  std::unique_ptr<EVP_MD_CTX, ContextFree> context(EVP_MD_CTX_new());
  unsigned char signature[64];
  size_t length = sizeof signature;
  if (!context || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1 ||
      EVP_DigestSign(context.get(), signature, &length, reinterpret_cast<const unsigned char*>(bytes.data()),
                     bytes.size()) != 1) {
    problem = "signing failed";
    return std::nullopt;
  }
  return LowerHex(signature, length);
}

}  // namespace service
