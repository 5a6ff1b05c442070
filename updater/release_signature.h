#pragma once
// Release signatures: ECDSA P-256 over the SHA-256 of the whole release file, carried as hex text
// (r then s, 128 digits) in the version answer. Every updater is built with the public key of
// whoever publishes releases, as the hex of its point (130 digits).

#include <cstdint>
#include <string>
#include <string_view>

// The key built into this updater; empty only in a build that opted out of signed updates.
std::string_view BuiltInReleaseKey();

// True when publicKeyHex is empty (a build without signed updates starts any release), or when
// signatureHex is a valid signature of bytes under that key. A malformed key or signature, and a
// missing one, do not verify.
bool ReleaseSignatureAccepts(std::string_view publicKeyHex, std::string_view bytes, std::string_view signatureHex);

// The same over the first length bytes of the file open (for reading) as fd, read piece by piece
// through a fixed buffer: a release of any size is checked in the same small memory. A file that
// cannot be read, or ends before length, does not verify.
bool ReleaseFileSignatureAccepts(std::string_view publicKeyHex, int fd, uint64_t length, std::string_view signatureHex);
