#include "updater/update_query.h"

#include "common/http/win_http_client.h"
#include "common/xml/xml_document.h"
#include "platform/codepage.h"

namespace {

constexpr size_t kMaxValueBytes = 255;
// A version answer is a few hundred bytes.
constexpr uint32_t kMaxAnswerBytes = 64u << 10;
constexpr std::string_view kQuery = "method=vymera.get";

// The text of root/donload/name when it is present and short enough; empty otherwise.
std::string OfferedValue(const XmlElement& root, std::string_view name) {
  const XmlElement* offer = root.FindChild("donload");
  const XmlElement* field = offer ? offer->FindChild(name) : nullptr;
  std::string value = field ? field->Value() : std::string();
  return value.size() <= kMaxValueBytes ? value : std::string();
}

}  // namespace

ReleaseOffer UpdateQuery(const std::string& endpoint) {
  WinHttpClient client(endpoint);
  std::string body = platform::ToCodePage(kQuery);
  client.SetRequestBody(body);
  client.additionalHeaders = "Content-Length: " + std::to_string(body.size()) +
                             "\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  client.timeouts = {0, 1000, 500, 2000};
  client.maxResponseBytes = kMaxAnswerBytes;
  if (!client.SendRequest("POST", true)) return {};

  XmlDocument answer;
  answer.LoadText(client.GetResponseText());
  if (answer.State() != XmlDocument::Read || answer.Root().Name() != "vymera_get") return {};
  ReleaseOffer offer;
  offer.url = OfferedValue(answer.Root(), "url");
  if (!offer.url.empty()) offer.signature = OfferedValue(answer.Root(), "signature");
  return offer;
}
