#include "service/store/password_hash.h"

#include <argon2.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <atomic>
#include <optional>
#include <semaphore>

#include "service/wire/hex_text.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

constexpr size_t kSaltBytes = 16;
constexpr size_t kHashBytes = 32;
constexpr std::string_view kArgonPrefix = "$argon2id$v=19$";
constexpr std::string_view kPbkdf2Scheme = "pbkdf2-sha256";

// A stored cost above these is no hash this service made: refused before any work.
constexpr unsigned kMaxMemoryKiB = 1024 * 1024;
constexpr unsigned kMaxPasses = 64;
constexpr unsigned kMaxLanes = 16;
constexpr unsigned kMaxPbkdf2Rounds = 10000000;
constexpr size_t kMaxStoredBytes = 512;

// Every hash holds its memory while it runs: at most this many run at once, so that a burst of
// logins costs this many times the memory of one, not one per connection.
std::counting_semaphore<4> hashing(4);

class HashingTurn {
 public:
  HashingTurn() { hashing.acquire(); }
  ~HashingTurn() { hashing.release(); }
  HashingTurn(const HashingTurn&) = delete;
  HashingTurn& operator=(const HashingTurn&) = delete;
};

std::atomic<unsigned> costMemoryKiB{PasswordCost{}.memoryKiB};
std::atomic<unsigned> costPasses{PasswordCost{}.passes};

struct ArgonParameters {
  unsigned memoryKiB = 0;
  unsigned passes = 0;
  unsigned lanes = 0;
};

// The three numbers of "m=..,t=..,p=..$" after the prefix; nothing when stored is not that form.
std::optional<ArgonParameters> ArgonParametersOf(std::string_view stored) {
  if (!stored.starts_with(kArgonPrefix)) return std::nullopt;
  std::string_view rest = stored.substr(kArgonPrefix.size());
  size_t end = rest.find('$');
  if (end == std::string_view::npos) return std::nullopt;
  rest = rest.substr(0, end);
  ArgonParameters parameters;
  const std::pair<std::string_view, unsigned*> fields[] = {
      {"m=", &parameters.memoryKiB}, {"t=", &parameters.passes}, {"p=", &parameters.lanes}};
  for (size_t i = 0; i < 3; ++i) {
    size_t comma = rest.find(',');
    std::string_view field = rest.substr(0, comma);
    if (!field.starts_with(fields[i].first) || (i < 2) == (comma == std::string_view::npos)) return std::nullopt;
    auto value = ParseUnsigned(field.substr(2), kMaxMemoryKiB);
    if (!value || *value == 0) return std::nullopt;
    *fields[i].second = static_cast<unsigned>(*value);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  if (parameters.passes > kMaxPasses || parameters.lanes > kMaxLanes) return std::nullopt;
  return parameters;
}

bool VerifyArgon(std::string_view password, std::string_view stored) {
  if (!ArgonParametersOf(stored)) return false;
  std::string encoded(stored);
  HashingTurn turn;
  return argon2id_verify(encoded.c_str(), password.data(), password.size()) == ARGON2_OK;
}

std::string DerivePbkdf2(std::string_view password, std::string_view salt, int rounds) {
  unsigned char key[32];
  if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                        reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()), rounds,
                        EVP_sha256(), sizeof key, key) != 1)
    return {};
  return LowerHex(key, sizeof key);
}

// The hashes of services before Argon2id: "pbkdf2-sha256$rounds$salt$hash", the salt as stored text.
bool VerifyPbkdf2(std::string_view password, std::string_view stored) {
  size_t first = stored.find('$');
  size_t second = first == std::string_view::npos ? first : stored.find('$', first + 1);
  size_t third = second == std::string_view::npos ? second : stored.find('$', second + 1);
  if (third == std::string_view::npos || stored.substr(0, first) != kPbkdf2Scheme) return false;
  auto rounds = ParseUnsigned(stored.substr(first + 1, second - first - 1), kMaxPbkdf2Rounds);
  if (!rounds || *rounds == 0) return false;
  std::string_view salt = stored.substr(second + 1, third - second - 1);
  std::string_view expected = stored.substr(third + 1);
  std::string actual = DerivePbkdf2(password, salt, static_cast<int>(*rounds));
  return !actual.empty() && actual.size() == expected.size() &&
         CRYPTO_memcmp(actual.data(), expected.data(), actual.size()) == 0;
}

}  // namespace

void SetPasswordCost(PasswordCost cost) {
  costMemoryKiB = cost.memoryKiB;
  costPasses = cost.passes;
}

PasswordCost CurrentPasswordCost() { return PasswordCost{costMemoryKiB.load(), costPasses.load()}; }

std::string HashPassword(std::string_view password) {
  PasswordCost cost = CurrentPasswordCost();
  unsigned char salt[kSaltBytes];
  if (RAND_bytes(salt, sizeof salt) != 1) return {};
  std::string encoded(argon2_encodedlen(cost.passes, cost.memoryKiB, 1, kSaltBytes, kHashBytes, Argon2_id), '\0');
  HashingTurn turn;
  if (argon2id_hash_encoded(cost.passes, cost.memoryKiB, 1, password.data(), password.size(), salt, sizeof salt,
                            kHashBytes, encoded.data(), encoded.size()) != ARGON2_OK)
    return {};
  size_t end = encoded.find('\0');
  if (end != std::string::npos) encoded.resize(end);
  return encoded;
}

bool VerifyPassword(std::string_view password, std::string_view stored) {
  if (stored.size() > kMaxStoredBytes) return false;
  return stored.starts_with(kArgonPrefix) ? VerifyArgon(password, stored) : VerifyPbkdf2(password, stored);
}

bool IsCurrentHash(std::string_view stored) {
  auto parameters = ArgonParametersOf(stored);
  PasswordCost cost = CurrentPasswordCost();
  return parameters && parameters->memoryKiB >= cost.memoryKiB && parameters->passes >= cost.passes;
}

}  // namespace service
