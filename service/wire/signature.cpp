#include "service/wire/signature.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

#include "service/wire/hex_text.h"

namespace service {

std::string Md5Hex(std::string_view bytes) {
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
      EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) != 1 ||
      EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
    return {};
  return LowerHex(digest, length);
}

std::string SignedText(std::vector<std::pair<std::string_view, std::string_view>> fields) {
  std::sort(fields.begin(), fields.end());
  std::string text(kSignatureKey);
  for (const auto& [name, value] : fields) {
    text += name;
    text += value;
  }
  return text;
}

bool SignatureMatches(std::string_view signedText, std::string_view sign) {
  std::string expected = Md5Hex(signedText);
  if (expected.size() != 32 || sign.size() != 32) return false;
  unsigned char difference = 0;
  for (size_t i = 0; i < 32; ++i) difference |= static_cast<unsigned char>(expected[i] ^ sign[i]);
  return difference == 0;
}

}  // namespace service
