#pragma once
// Signing a release for the updaters: ECDSA P-256 over the SHA-256 of the whole file, written as
// the hex of r and s (32 bytes each, 128 digits), the form every updater reads whatever its
// platform's cryptography library.

#include <optional>
#include <string>
#include <string_view>

namespace service {

// The private key of this build's own developer key pair, made when the build was configured;
// empty when the build was given the publisher's public key or none at all.
std::string_view DeveloperReleaseKey();

// Hex of the signature of bytes under the P-256 private key in the PEM file at keyPath; nothing,
// with problem set, when the key cannot be read or is not such a key.
std::optional<std::string> SignRelease(const std::string& keyPath, std::string_view bytes, std::string& problem);

}  // namespace service
