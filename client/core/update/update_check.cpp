#include "client/core/update/update_check.h"

#include "client/core/api/api_client.h"
#include "client/core/version/version.h"
#include "common/service/version_offer.h"
#include "platform/paths.h"
#include "platform/process.h"

bool CheckForUpdate(ApiClient& api, std::string_view ownVersion, UpdateOffer& offer) {
  offer = {};
  std::unique_ptr<XmlDocument> answer = api.QueryVersion();
  std::optional<version_offer::Offer> offered = answer ? version_offer::Read(*answer) : std::nullopt;
  if (!offered || CompareVersion(offered->version, ownVersion) <= 0) return false;
  offer.version = std::move(offered->version);
  offer.url = std::move(offered->url);
  return true;
}

bool StartUpdater(const std::string& programFolder) {
  if (programFolder.empty()) return false;
  return platform::StartProgram(platform::JoinPath(programFolder, kUpdaterProgram), programFolder);
}
