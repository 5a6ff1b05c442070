#pragma once
// ApiClient: the client's only way to the web service. Every call is one signed form POST to the API
// endpoint, answered by a small XML document; the caller owns the document. No document means no
// usable answer, and LastError() then says "badnetwork". Calls block for the length of the exchange.

#include <memory>
#include <string>
#include <string_view>

#include "client/core/devices/pedometer_day.h"
#include "client/core/users/user_record.h"
#include "common/xml/xml_document.h"

class SettingsStore;

class ApiClient {
 public:
  // settings are read at every request for the proxy; programFolder is where the "user" folder of
  // pictures lives; endpoint defaults to the built-in API address.
  ApiClient(const SettingsStore& settings, std::string programFolder, std::string endpoint = {});

  // Sends a form text (UTF-8; sent in the code page) and parses the answer, decoded by its charset,
  // so the document's texts are UTF-8. Nothing, with LastError() "badnetwork", when no answer came
  // or it was not a document; an empty answer is a document with the root "root".
  std::unique_ptr<XmlDocument> Post(std::string_view form);

  std::unique_ptr<XmlDocument> GetUserInfo(std::string_view account, std::string_view password);
  std::unique_ptr<XmlDocument> BindScale(const UserRecord& user, std::string_view code);
  std::unique_ptr<XmlDocument> BindPedometer(const UserRecord& user, std::string_view code);
  std::unique_ptr<XmlDocument> BindPace700(const UserRecord& user, std::string_view code);
  std::unique_ptr<XmlDocument> UnbindScale(const UserRecord& user);
  std::unique_ptr<XmlDocument> UnbindPedometer(const UserRecord& user);
  std::unique_ptr<XmlDocument> UnbindPace700(const UserRecord& user);
  std::unique_ptr<XmlDocument> UploadWeight(const UserRecord& user, std::string_view date, std::string_view scaleCode,
                                            float weight);
  std::unique_ptr<XmlDocument> UploadPedometerDay(const UserRecord& user, const PedometerDay& day);
  std::unique_ptr<XmlDocument> UploadPace700Day(const UserRecord& user, std::string_view fileText,
                                                std::string_view dateText, std::string_view deviceCode);
  std::unique_ptr<XmlDocument> QueryVersion();

  // True when any answer document came back.
  bool ProbeConnection();

  // Fetches url into the "user" folder as uname + ".jpg" and points the record's picture at it.
  // False only when the request failed.
  bool DownloadHeadImage(UserRecord& user, std::string_view url);

  // How long connecting, sending and waiting for the answer may each take (5000 ms unless set); a
  // harness that plays slow services shortens it.
  void SetTimeoutMs(int milliseconds) { timeoutMs_ = milliseconds; }

  const std::string& LastError() const { return lastError_; }
  // The HTTP status of the last answer Post read; 0 when none came.
  int LastStatus() const { return lastStatus_; }

 private:
  const SettingsStore& settings_;
  std::string programFolder_;
  std::string endpoint_;
  std::string lastError_;
  int lastStatus_ = 0;
  int timeoutMs_ = 5000;
};
