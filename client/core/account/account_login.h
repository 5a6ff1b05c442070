#pragma once
// Logging a web-service account in. RequestLogin is the one request of the login and add-user
// dialogs: it tells an accepted login (with the answer) from a refusal (with the service's code)
// and from no answer at all. AutoLogin logs a stored account in silently at start-up and on
// reconnection; only a refusal is told, through the caller's message box.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "client/core/api/api_client.h"
#include "client/core/users/user_record.h"
#include "common/xml/xml_document.h"

// Result codes of a login request.
inline constexpr int kLoginNotSent = -1;  // no answer (or nothing sent)
inline constexpr int kLoginRefused = 0;
inline constexpr int kLoginAccepted = 2;  // the answer's root is "user_res"

struct LoginAttempt {
  int resultCode = kLoginNotSent;
  // "badnetwork" without answer; the refusal's "code" (or "未知错误" without one) for an
  // "error_res"; empty for any other refusal and for an accepted login.
  std::string errorCode;
  // The "user_res" answer of an accepted login, owned by the caller; null otherwise.
  std::unique_ptr<XmlDocument> answer;
};

// Sends user.id.get with the account and password and sorts out the answer.
LoginAttempt RequestLogin(ApiClient& api, std::string_view account, std::string_view password);

// A system message box: text and caption.
using ShowBox = std::function<void(std::string_view text, std::string_view caption)>;
inline constexpr std::string_view kAutoLoginCaption = "登录错误";
inline constexpr std::string_view kAutoLoginUnknownError = "用户登录未知错误";

// Logs record in with its stored account and password: on acceptance fills it from the answer
// (which marks it logged in), fetches its head image, and returns true; the record is not stored.
// No answer: false, nothing shown. A refusal: showBox with the service's "msg" (or a fixed text
// without one) and the caption "登录错误", then false.
bool AutoLogin(UserRecord& record, ApiClient& api, const ShowBox& showBox);

// The head image an accepted answer names, fetched into the user folder; nothing happens when the
// answer names none or an empty address (the record then keeps the default picture).
void FetchHeadImage(UserRecord& record, ApiClient& api, const XmlElement& answer);
