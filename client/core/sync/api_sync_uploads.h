#pragma once
// The sync pass's uploads through the client's web-service access. A document that came with an
// HTTP error status (a proxy's page, a server in trouble) is not the service's decision on the item,
// so the pass gets no answer for it.

#include "client/core/api/api_client.h"
#include "client/core/sync/sync_ports.h"

class ApiSyncUploads final : public SyncUploads {
 public:
  // api must outlive this object.
  explicit ApiSyncUploads(ApiClient& api) : api_(api) {}

  std::unique_ptr<XmlDocument> UploadWeight(const UserRecord& user, std::string_view date, std::string_view scaleCode,
                                            float weight) override {
    return Decided(api_.UploadWeight(user, date, scaleCode, weight));
  }
  std::unique_ptr<XmlDocument> UploadPedometerDay(const UserRecord& user, const PedometerDay& day) override {
    return Decided(api_.UploadPedometerDay(user, day));
  }
  std::unique_ptr<XmlDocument> UploadPace700Day(const UserRecord& user, std::string_view fileText,
                                                std::string_view dateText, std::string_view deviceCode) override {
    return Decided(api_.UploadPace700Day(user, fileText, dateText, deviceCode));
  }

 private:
  std::unique_ptr<XmlDocument> Decided(std::unique_ptr<XmlDocument> answer) const {
    int status = api_.LastStatus();
    return status >= 200 && status < 300 ? std::move(answer) : nullptr;
  }

  ApiClient& api_;
};
