#pragma once
// SessionStore: the login codes handed to the client with every user-information answer, and the
// member-site sessions they open. Both are random bearer texts with an expiry.

#include <cstdint>
#include <optional>
#include <string>

#include "service/store/sqlite.h"

namespace service {

// Random bytes as lowercase hex (2 × bytes digits); empty when no randomness is available.
std::string RandomHex(size_t bytes);

class SessionStore {
 public:
  explicit SessionStore(Database& database) : database_(database) {}

  // A login code for uid valid at least a day from now: the newest one still valid long enough,
  // or a new one valid a week. Codes handed out before stay valid until they expire, so links the
  // client built from an older answer keep working. Empty on failure.
  std::string LoginCodeFor(int64_t uid, int64_t now);
  // The account a still valid login code belongs to.
  std::optional<int64_t> UidForLoginCode(const std::string& code, int64_t now);

  // A new site session for uid, valid a day; empty on failure.
  std::string OpenSession(int64_t uid, int64_t now);
  std::optional<int64_t> UidForSession(const std::string& token, int64_t now);

 private:
  Database& database_;
};

}  // namespace service
