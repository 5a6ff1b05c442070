#pragma once
// Member passwords are kept only as salted hashes. New ones are Argon2id in the reference library's
// encoded form, "$argon2id$v=19$m=KIB,t=PASSES,p=LANES$salt$hash". Hashes an older service stored
// ("pbkdf2-sha256$rounds$salt$hash", or Argon2id at a lower cost) still verify, and the login that
// verifies one replaces it (see IsCurrentHash).

#include <string>
#include <string_view>

namespace service {

// What one new hash costs. Memory in KiB, passes over it; one lane.
struct PasswordCost {
  unsigned memoryKiB = 19 * 1024;
  unsigned passes = 2;
};

// The cost new hashes are made with, process-wide. The default is the strength a service others
// use should have; tests that make hundreds of accounts lower it.
void SetPasswordCost(PasswordCost cost);
PasswordCost CurrentPasswordCost();

// A fresh salted hash of password at the current cost; empty when no randomness or memory is to be
// had.
std::string HashPassword(std::string_view password);

// True when password gives stored; false for a wrong password or a malformed stored text, and for
// a stored cost beyond what a hash of this service can need (a damaged row must not take the
// service's memory or minutes of its time).
bool VerifyPassword(std::string_view password, std::string_view stored);

// True when stored is an Argon2id hash at the current cost or above; a login that verified a hash
// for which this is false stores a new one.
bool IsCurrentHash(std::string_view stored);

}  // namespace service
