#include "client/core/api/api_client.h"

#include "client/core/api/api_forms.h"
#include "client/core/api/picture_name.h"
#include "client/core/api/web_addresses.h"
#include "client/core/settings/settings_store.h"
#include "client/core/users/user_store.h"
#include "common/http/header_text.h"
#include "common/http/win_http_client.h"
#include "common/service/form_post.h"
#include "platform/codepage.h"
#include "platform/paths.h"

namespace {

constexpr const char* kBadNetwork = "badnetwork";
// A proxy text shorter than this ("host:port" at its least, "a:1" is too short) sets no proxy.
constexpr size_t kMinProxyText = 4;
// The service's answers are small XML documents and head images small pictures; anything longer is
// no answer of the service's and is not taken in.
constexpr uint32_t kMaxAnswerBytes = 4u << 20;

}  // namespace

ApiClient::ApiClient(const SettingsStore& settings, std::string programFolder, std::string endpoint)
    : settings_(settings),
      programFolder_(std::move(programFolder)),
      endpoint_(endpoint.empty() ? std::string(kApiEndpoint) : std::move(endpoint)) {}

std::unique_ptr<XmlDocument> ApiClient::Post(std::string_view form) {
  WinHttpClient client(endpoint_);
  if (settings_.UseProxy) {
    std::string proxy = settings_.proxyAddress + ":" + settings_.proxyPort;
    if (platform::CountCodePoints(proxy) >= kMinProxyText) {
      client.proxyServer = proxy;
      client.proxyUserName = settings_.proxyUserName;
      client.proxyPassword = settings_.proxyPassword;
    }
  }
  client.charset = "utf-8";
  service_form::PrepareFormPost(client, form);
  client.timeouts = {0, timeoutMs_, timeoutMs_, timeoutMs_};
  client.maxResponseBytes = kMaxAnswerBytes;
  lastStatus_ = 0;
  if (!client.SendRequest("POST", true)) {
    lastError_ = kBadNetwork;
    return nullptr;
  }
  const std::string& headers = client.GetResponseHeaders();
  lastStatus_ = http::StatusCodeOf(std::string_view(headers).substr(0, headers.find('\n')));
  // The client has decoded the answer by its charset into UTF-8, the text the XML library reads
  // and the program works in; character references in the answer unescape to UTF-8 as well.
  auto document = std::make_unique<XmlDocument>();
  document->LoadText(client.GetResponseText());
  if (document->State() == XmlDocument::Unbalanced || document->Header().declaration.empty()) {
    lastError_ = kBadNetwork;
    return nullptr;
  }
  return document;
}

std::unique_ptr<XmlDocument> ApiClient::GetUserInfo(std::string_view account, std::string_view password) {
  return Post(api_forms::UserInfo(account, password));
}

std::unique_ptr<XmlDocument> ApiClient::BindScale(const UserRecord& user, std::string_view code) {
  return Post(api_forms::Bind("scale.code.pinless", "scalecode", user, code));
}

std::unique_ptr<XmlDocument> ApiClient::BindPedometer(const UserRecord& user, std::string_view code) {
  return Post(api_forms::Bind("ped.code.pinless", "pedcode", user, code));
}

std::unique_ptr<XmlDocument> ApiClient::BindPace700(const UserRecord& user, std::string_view code) {
  return Post(api_forms::Bind("K700.code.pinless", "pedcode", user, code));
}

std::unique_ptr<XmlDocument> ApiClient::UnbindScale(const UserRecord& user) {
  return Post(api_forms::Unbind("scale.hard.cancel", user));
}

std::unique_ptr<XmlDocument> ApiClient::UnbindPedometer(const UserRecord& user) {
  return Post(api_forms::Unbind("ped.hard.cancel", user));
}

std::unique_ptr<XmlDocument> ApiClient::UnbindPace700(const UserRecord& user) {
  return Post(api_forms::Unbind("K700.hard.cancel", user));
}

std::unique_ptr<XmlDocument> ApiClient::UploadWeight(const UserRecord& user, std::string_view date,
                                                     std::string_view scaleCode, float weight) {
  return Post(api_forms::UploadWeight(user, date, scaleCode, weight));
}

std::unique_ptr<XmlDocument> ApiClient::UploadPedometerDay(const UserRecord& user, const PedometerDay& day) {
  return Post(api_forms::UploadPedometerDay(user, day));
}

std::unique_ptr<XmlDocument> ApiClient::UploadPace700Day(const UserRecord& user, std::string_view fileText,
                                                         std::string_view dateText, std::string_view deviceCode) {
  return Post(api_forms::UploadPace700Day(user, fileText, dateText, deviceCode));
}

std::unique_ptr<XmlDocument> ApiClient::QueryVersion() { return Post(api_forms::kVersionQuery); }

bool ApiClient::ProbeConnection() { return Post(api_forms::kProbe) != nullptr; }

bool ApiClient::DownloadHeadImage(UserRecord& user, std::string_view url) {
  WinHttpClient client{std::string(url)};
  client.userAgent = WinHttpClient::kBrowserUserAgent;
  client.maxResponseBytes = kMaxAnswerBytes;
  if (!client.SendRequest("GET", false)) return false;
  std::string folder = platform::JoinPath(programFolder_, UserStore::kUserFolder);
  // The folder is made at start-up; should it have gone since, the picture still has a place.
  if (!platform::IsFolder(folder)) platform::MakeFolderTree(folder);
  std::string fileName = PictureBaseName(user.uname) + ".jpg";
  // A picture that cannot be written still counts as fetched; the record then names a missing file.
  client.SaveResponseToFile(platform::JoinPath(folder, fileName));
  user.picture = fileName;
  return true;
}
