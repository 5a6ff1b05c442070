#pragma once
// Member passwords are kept only as salted PBKDF2-SHA256 hashes: "pbkdf2-sha256$rounds$salt$hash".

#include <string>
#include <string_view>

namespace service {

// A fresh salted hash of password; empty when no randomness or digest is available.
std::string HashPassword(std::string_view password);

// True when password gives stored; false for a wrong password or a malformed stored text.
bool VerifyPassword(std::string_view password, std::string_view stored);

}  // namespace service
