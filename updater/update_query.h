#pragma once
// UpdateQuery: asks the update endpoint which release is current. The question is unsigned
// ("method=vymera.get" and nothing more), is never redirected, and waits at most a few seconds.

#include <string>

struct ReleaseOffer {
  std::string url;        // absolute address of the release's program; empty: nothing on offer
  std::string signature;  // hex text of the release's signature, when the service sent one
};

// The release the endpoint offers, or an empty url when there is no answer, the answer is not a
// "vymera_get" document, or it names no address. Texts over version_offer::kMaxValueBytes are
// taken as absent rather than cut, since a cut address points somewhere else.
ReleaseOffer UpdateQuery(const std::string& endpoint);
