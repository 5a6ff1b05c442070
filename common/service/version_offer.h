#pragma once
// The release the web service offers, read from its answer to the version query. The client reads
// the version to decide whether to offer an update; the updater reads the address and signature.

#include <optional>
#include <string>
#include <string_view>

class XmlDocument;

namespace version_offer {

// The version query is the one request without a signature.
inline constexpr std::string_view kQuery = "method=vymera.get";

// Offered values longer than this many UTF-8 bytes are outside the answer's format. They count as
// absent rather than cut: a cut version or address names something else.
inline constexpr size_t kMaxValueBytes = 255;

// donload/newversion, donload/url and donload/signature; each empty when missing or too long.
struct Offer {
  std::string version;
  std::string url;
  std::string signature;
};

// The offer in answer, or nothing when the answer's root is not exactly "vymera_get".
std::optional<Offer> Read(const XmlDocument& answer);

}  // namespace version_offer
