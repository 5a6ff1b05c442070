#pragma once
// The error codes of a login attempt and how the two account dialogs show each one: most codes
// have a label beside the edit they concern, a lost connection has a message, the rest show nothing.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "client/core/users/user_store.h"

namespace login_error {
// Found before anything is sent.
inline constexpr std::string_view kAccountBlank = "accountblank";
inline constexpr std::string_view kPasswordBlank = "passwordblank";
inline constexpr std::string_view kAlreadyExists = "alreadyexists";
inline constexpr std::string_view kUpperAmount = "upperamount";
// The service's codes.
inline constexpr std::string_view kNoSuchAccount = "14";
inline constexpr std::string_view kWrongPassword = "11";
inline constexpr std::string_view kInvalidEmail = "12";
// A refusal that carried no code, and no answer at all.
inline constexpr std::string_view kUnknown = "未知错误";
inline constexpr std::string_view kBadNetwork = "badnetwork";
}  // namespace login_error

// The client keeps at most this many local accounts.
inline constexpr size_t kMaxUsers = UserStore::kMaxUsers;

// What a dialog shows for an error code: a label control to make visible, or a message for the
// client's message dialog; both empty for a code that shows nothing.
struct LoginErrorDisplay {
  std::string_view label;
  std::string_view message;
};
LoginErrorDisplay DisplayOfLoginError(std::string_view errorCode);

// Every label an error can show; all of them are hidden together when the error's time is up.
inline constexpr std::array<std::string_view, 6> kLoginErrorLabels{"erroraccountnoexists", "errorpassworderror",
                                                                   "erroremailinvaliad",   "erroraccountalreadyexists",
                                                                   "errorpasswordblank",   "erroraccountblank"};
// How long an error label stays.
inline constexpr unsigned kLoginErrorShownMs = 1500;

// The checks of the login dialog: kAccountBlank, kPasswordBlank, or empty when it may be sent.
std::string_view CheckLoginInput(std::string_view account, std::string_view password);
// The checks of the add-user dialog, in this order: blank account, blank password, a full list
// (kUpperAmount), an account the list holds already, compared exactly (letter case counts).
std::string_view CheckNewUser(const UserList& users, std::string_view account, std::string_view password);
