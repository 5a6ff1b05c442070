#include "service/store/session_store.h"

#include <openssl/rand.h>

#include <vector>

#include "service/wire/hex_text.h"

namespace service {
namespace {

constexpr int64_t kDay = 24 * 3600;
constexpr int64_t kLoginCodeLife = 7 * kDay;
constexpr int64_t kSessionLife = kDay;

}  // namespace

std::string RandomHex(size_t bytes) {
  std::vector<unsigned char> random(bytes);
  if (RAND_bytes(random.data(), static_cast<int>(bytes)) != 1) return {};
  return LowerHex(random.data(), random.size());
}

std::string SessionStore::LoginCodeFor(int64_t uid, int64_t now) {
  DatabaseUse use(database_);
  Statement current(use.handle(),
                    "SELECT code FROM login_codes WHERE uid = ? AND expires_at > ? ORDER BY expires_at DESC LIMIT 1");
  current.Bind(1, uid).Bind(2, now + kDay);
  if (current.Step()) return current.Text(0);
  std::string code = RandomHex(16);
  if (code.empty()) return {};
  // Expired codes go when a new one is made, so the table does not grow with every week.
  Statement purge(use.handle(), "DELETE FROM login_codes WHERE expires_at <= ?");
  purge.Bind(1, now).Run();
  Statement insert(use.handle(), "INSERT INTO login_codes(code, uid, expires_at) VALUES(?, ?, ?)");
  return insert.Bind(1, code).Bind(2, uid).Bind(3, now + kLoginCodeLife).Run() ? code : std::string();
}

std::optional<int64_t> SessionStore::UidForLoginCode(const std::string& code, int64_t now) {
  if (code.empty()) return std::nullopt;
  DatabaseUse use(database_);
  Statement query(use.handle(), "SELECT uid FROM login_codes WHERE code = ? AND expires_at > ?");
  query.Bind(1, code).Bind(2, now);
  if (!query.Step()) return std::nullopt;
  return query.Int(0);
}

std::string SessionStore::OpenSession(int64_t uid, int64_t now) {
  std::string token = RandomHex(16);
  if (token.empty()) return {};
  DatabaseUse use(database_);
  Statement purge(use.handle(), "DELETE FROM sessions WHERE expires_at <= ?");
  purge.Bind(1, now).Run();
  Statement insert(use.handle(), "INSERT INTO sessions(token, uid, expires_at) VALUES(?, ?, ?)");
  return insert.Bind(1, token).Bind(2, uid).Bind(3, now + kSessionLife).Run() ? token : std::string();
}

std::optional<int64_t> SessionStore::UidForSession(const std::string& token, int64_t now) {
  if (token.empty()) return std::nullopt;
  DatabaseUse use(database_);
  Statement query(use.handle(), "SELECT uid FROM sessions WHERE token = ? AND expires_at > ?");
  query.Bind(1, token).Bind(2, now);
  if (!query.Step()) return std::nullopt;
  return query.Int(0);
}

}  // namespace service
