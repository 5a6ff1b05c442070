#include "common/service/version_offer.h"

#include "common/xml/xml_document.h"

namespace version_offer {

namespace {

std::string OfferedValue(const XmlElement& offer, std::string_view name) {
  const XmlElement* field = offer.FindChild(name);
  std::string value = field ? field->Value() : std::string();
  return value.size() <= kMaxValueBytes ? value : std::string();
}

}  // namespace

std::optional<Offer> Read(const XmlDocument& answer) {
  if (answer.State() != XmlDocument::Read || answer.Root().Name() != "vymera_get") return std::nullopt;
  Offer offer;
  if (const XmlElement* donload = answer.Root().FindChild("donload")) {
    offer.version = OfferedValue(*donload, "newversion");
    offer.url = OfferedValue(*donload, "url");
    offer.signature = OfferedValue(*donload, "signature");
  }
  return offer;
}

}  // namespace version_offer
