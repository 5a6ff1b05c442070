#include "service/store/password_hash.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include "service/store/session_store.h"
#include "service/wire/hex_text.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

constexpr int kRounds = 10000;
constexpr std::string_view kScheme = "pbkdf2-sha256";

std::string Derive(std::string_view password, std::string_view salt, int rounds) {
  unsigned char key[32];
  if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                        reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()), rounds,
                        EVP_sha256(), sizeof key, key) != 1)
    return {};
  return LowerHex(key, sizeof key);
}

}  // namespace

std::string HashPassword(std::string_view password) {
  std::string salt = RandomHex(16);
  if (salt.empty()) return {};
  std::string hash = Derive(password, salt, kRounds);
  if (hash.empty()) return {};
  return std::string(kScheme) + "$" + std::to_string(kRounds) + "$" + salt + "$" + hash;
}

bool VerifyPassword(std::string_view password, std::string_view stored) {
  size_t first = stored.find('$');
  size_t second = first == std::string_view::npos ? first : stored.find('$', first + 1);
  size_t third = second == std::string_view::npos ? second : stored.find('$', second + 1);
  if (third == std::string_view::npos || stored.substr(0, first) != kScheme) return false;
  auto rounds = ParseUnsigned(stored.substr(first + 1, second - first - 1), 10000000);
  if (!rounds || *rounds == 0) return false;
  std::string_view salt = stored.substr(second + 1, third - second - 1);
  std::string_view expected = stored.substr(third + 1);
  std::string actual = Derive(password, salt, static_cast<int>(*rounds));
  return !actual.empty() && actual.size() == expected.size() &&
         CRYPTO_memcmp(actual.data(), expected.data(), actual.size()) == 0;
}

}  // namespace service
