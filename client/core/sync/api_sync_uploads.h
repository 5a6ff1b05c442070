#pragma once
// The sync pass's uploads through the client's web-service access.

#include "client/core/api/api_client.h"
#include "client/core/sync/sync_ports.h"

class ApiSyncUploads final : public SyncUploads {
 public:
  // api must outlive this object.
  explicit ApiSyncUploads(ApiClient& api) : api_(api) {}

  std::unique_ptr<XmlDocument> UploadWeight(const UserRecord& user, std::string_view date, std::string_view scaleCode,
                                            float weight) override {
    return api_.UploadWeight(user, date, scaleCode, weight);
  }
  std::unique_ptr<XmlDocument> UploadPedometerDay(const UserRecord& user, const PedometerDay& day) override {
    return api_.UploadPedometerDay(user, day);
  }
  std::unique_ptr<XmlDocument> UploadPace700Day(const UserRecord& user, std::string_view fileText,
                                                std::string_view dateText, std::string_view deviceCode) override {
    return api_.UploadPace700Day(user, fileText, dateText, deviceCode);
  }

 private:
  ApiClient& api_;
};
