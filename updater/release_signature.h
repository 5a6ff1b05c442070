#pragma once
// Release signatures: an Ed25519 signature over the whole release file, carried as hex text in the
// version answer. The updater is built with the public key of whoever publishes releases.

#include <string>
#include <string_view>

// The key built into this updater (hex of the 32 raw key bytes); empty when the build has none.
std::string_view BuiltInReleaseKey();

// True when publicKeyHex is empty (an unkeyed build starts any release), or when signatureHex is a
// valid Ed25519 signature of bytes under that key. A malformed key or signature does not verify.
bool ReleaseSignatureAccepts(std::string_view publicKeyHex, std::string_view bytes, std::string_view signatureHex);
