#pragma once
// The MD5 digest the request signature is made of, from the system's cryptography library
// (md5_digest_<platform>.cpp): no digest code of our own.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

using Md5Bytes = std::array<uint8_t, 16>;

// The digest of bytes; nothing only when the library fails.
std::optional<Md5Bytes> Md5Digest(std::string_view bytes);
