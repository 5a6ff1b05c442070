#include "updater/update_query.h"

#include "common/http/win_http_client.h"
#include "common/service/form_post.h"
#include "common/service/version_offer.h"
#include "common/xml/xml_document.h"

namespace {

// A version answer is a few hundred bytes.
constexpr uint32_t kMaxAnswerBytes = 64u << 10;

}  // namespace

ReleaseOffer UpdateQuery(const std::string& endpoint) {
  WinHttpClient client(endpoint);
  service_form::PrepareFormPost(client, version_offer::kQuery);
  client.timeouts = {0, 1000, 500, 2000};
  client.maxResponseBytes = kMaxAnswerBytes;
  if (!client.SendRequest("POST", true)) return {};

  XmlDocument answer;
  answer.LoadText(client.GetResponseText());
  std::optional<version_offer::Offer> offered = version_offer::Read(answer);
  if (!offered || offered->url.empty()) return {};
  return {std::move(offered->url), std::move(offered->signature)};
}
