#pragma once
// What the service accepts as a member's login name: an e-mail address.

#include <string_view>

namespace service {

// One "@" between a non-empty local part of printable ASCII and a domain of at least two dot-separated
// labels of letters, digits and inner hyphens; at most 254 bytes in all.
bool IsEmailAddress(std::string_view text);

}  // namespace service
