// vymera.get: the release an updater should fetch, with the address it is served at.

#include "service/api/api_request.h"

namespace service {

std::string AnswerVersion(ServiceData& data, const ApiRequest& request) {
  XmlAnswer answer("vymera_get");
  if (auto release = data.releasesOf.Latest()) {
    answer.Open("donload").Add("newversion", release->version);
    answer.Add("url", request.baseUrl + "/release/" + release->fileName);
    if (!release->signature.empty()) answer.Add("signature", release->signature);
  }
  return answer.Finish();
}

}  // namespace service
