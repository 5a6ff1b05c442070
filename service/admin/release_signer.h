#pragma once
// Signing a release for the updaters that check signatures: Ed25519 over the whole file.

#include <optional>
#include <string>
#include <string_view>

namespace service {

// Hex of the signature of bytes under the Ed25519 private key in the PEM file at keyPath;
// nothing, with problem set, when the key cannot be read or is not an Ed25519 key.
std::optional<std::string> SignRelease(const std::string& keyPath, std::string_view bytes, std::string& problem);

}  // namespace service
