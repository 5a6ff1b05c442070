#include "client/core/account/login_errors.h"

namespace {
struct ErrorShown {
  std::string_view code;
  LoginErrorDisplay display;
};
constexpr std::array<ErrorShown, 7> kErrors{{
    {login_error::kNoSuchAccount, {"erroraccountnoexists", {}}},
    {login_error::kWrongPassword, {"errorpassworderror", {}}},
    {login_error::kInvalidEmail, {"erroremailinvaliad", {}}},
    {login_error::kAlreadyExists, {"erroraccountalreadyexists", {}}},
    {login_error::kPasswordBlank, {"errorpasswordblank", {}}},
    {login_error::kAccountBlank, {"erroraccountblank", {}}},
    {login_error::kBadNetwork, {{}, "网络错误"}},
}};
}  // namespace

LoginErrorDisplay DisplayOfLoginError(std::string_view errorCode) {
  for (const ErrorShown& e : kErrors) {
    if (e.code == errorCode) return e.display;
  }
  return {};
}

std::string_view CheckLoginInput(std::string_view account, std::string_view password) {
  if (account.empty()) return login_error::kAccountBlank;
  if (password.empty()) return login_error::kPasswordBlank;
  return {};
}

std::string_view CheckNewUser(const UserList& users, std::string_view account, std::string_view password) {
  std::string_view input = CheckLoginInput(account, password);
  if (!input.empty()) return input;
  if (users.size() >= kMaxUsers) return login_error::kUpperAmount;
  for (const auto& user : users) {
    if (user && user->account == account) return login_error::kAlreadyExists;
  }
  return {};
}
