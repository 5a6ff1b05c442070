#pragma once
// The request signature: MD5 over the shared key followed by every signed field's name and value
// in ascending order of name, all in the code-page bytes the client sent.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace service {

// The key the client signs with.
inline constexpr std::string_view kSignatureKey = "5f0c9e2ab7d1436c8e94a0b2c7d3e6f1";

// MD5 of bytes as 32 lowercase hexadecimal digits; empty only if the digest cannot be computed.
std::string Md5Hex(std::string_view bytes);

// The text that is signed: the key, then name + value of each field sorted by name. The caller
// leaves out "sign" and the fields that are not signed.
std::string SignedText(std::vector<std::pair<std::string_view, std::string_view>> fields);

// True when sign is exactly the 32 lowercase hex digits of Md5Hex(signedText); compared in
// constant time so the answer time does not reveal how much of a guess was right.
bool SignatureMatches(std::string_view signedText, std::string_view sign);

}  // namespace service
