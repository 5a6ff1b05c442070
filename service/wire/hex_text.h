#pragma once
// Bytes as lowercase hexadecimal text: the form digests, salts and random codes take on the wire
// and in the database.

#include <cstddef>
#include <string>

namespace service {

// Two lowercase hex digits per byte, in order; empty for no bytes.
std::string LowerHex(const unsigned char* bytes, size_t count);

}  // namespace service
