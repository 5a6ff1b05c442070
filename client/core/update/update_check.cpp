#include "client/core/update/update_check.h"

#include "client/core/api/api_client.h"
#include "client/core/version/version.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/process.h"

namespace {

// The text of root/donload/name, or empty when it is missing or too long. The limit counts the
// value as the service's code page holds it.
std::string OfferedValue(const XmlElement& root, std::string_view name) {
  const XmlElement* offer = root.FindChild("donload");
  const XmlElement* field = offer ? offer->FindChild(name) : nullptr;
  if (!field) return {};
  std::string value = field->Value();
  if (platform::ToCodePage(value).size() > kMaxOfferValueBytes) return {};
  return value;
}

}  // namespace

bool CheckForUpdate(ApiClient& api, std::string_view ownVersion, UpdateOffer& offer) {
  offer = {};
  std::unique_ptr<XmlDocument> answer = api.QueryVersion();
  if (!answer || answer->Root().Name() != "vymera_get") return false;
  std::string offered = OfferedValue(answer->Root(), "newversion");
  if (CompareVersion(offered, ownVersion) <= 0) return false;
  offer.version = std::move(offered);
  offer.url = OfferedValue(answer->Root(), "url");
  return true;
}

bool StartUpdater(const std::string& programFolder) {
  if (programFolder.empty()) return false;
  return platform::StartProgram(platform::JoinPath(programFolder, kUpdaterProgram), programFolder);
}
