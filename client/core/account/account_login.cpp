#include "client/core/account/account_login.h"

#include "client/core/account/login_errors.h"
#include "client/core/users/user_store.h"

LoginAttempt RequestLogin(ApiClient& api, std::string_view account, std::string_view password) {
  LoginAttempt attempt;
  std::unique_ptr<XmlDocument> answer = api.GetUserInfo(account, password);
  if (!answer) {
    attempt.errorCode = login_error::kBadNetwork;
    return attempt;
  }
  const XmlElement& root = answer->Root();
  std::string rootName = root.Name();
  if (rootName == "user_res") {
    attempt.resultCode = kLoginAccepted;
    attempt.answer = std::move(answer);
    return attempt;
  }
  attempt.resultCode = kLoginRefused;
  if (rootName == "error_res") {
    const XmlElement* code = root.FindChild("code");
    attempt.errorCode = code ? code->Value() : std::string(login_error::kUnknown);
  }
  return attempt;
}

void FetchHeadImage(UserRecord& record, ApiClient& api, const XmlElement& answer) {
  const XmlElement* head = answer.FindChild("head_url");
  if (!head) return;
  // An empty address means the default picture, which the answer's mapping has set already.
  std::string url = head->Value();
  if (!url.empty()) api.DownloadHeadImage(record, url);
}

bool AutoLogin(UserRecord& record, ApiClient& api, const ShowBox& showBox) {
  std::unique_ptr<XmlDocument> answer = api.GetUserInfo(record.account, record.password);
  if (!answer) return false;
  const XmlElement& root = answer->Root();
  if (root.Name() == "user_res") {
    UserStore::FillFromUserInfo(record, root);
    FetchHeadImage(record, api, root);
    return true;
  }
  const XmlElement* msg = root.FindChild("msg");
  std::string text = msg ? msg->Value() : std::string();
  // A box without words tells the user nothing; an empty "msg" counts as none.
  if (text.empty()) text = kAutoLoginUnknownError;
  if (showBox) showBox(text, kAutoLoginCaption);
  return false;
}
