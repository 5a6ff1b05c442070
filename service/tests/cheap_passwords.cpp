// The accounts of the service's HTTP tests guard nothing: their password hashes are made at the
// lowest cost, so that the tests' many logins cost milliseconds each. The store's own tests check
// hashing at the real cost.

#include <gtest/gtest.h>

#include "service/store/password_hash.h"

namespace {

class CheapPasswords : public ::testing::Environment {
 public:
  void SetUp() override { service::SetPasswordCost({64, 1}); }
};

[[maybe_unused]] ::testing::Environment* const kCheapPasswords =
    ::testing::AddGlobalTestEnvironment(new CheapPasswords);

}  // namespace
