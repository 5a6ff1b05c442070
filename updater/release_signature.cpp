#include "updater/release_signature.h"

#include <algorithm>
#include <memory>

#include "platform/file_io.h"
#include "updater/p256_verifier.h"
#include "updater/release_key.h"

namespace {

// The bytes written as exactly 2 × N hex digits of either case; false for anything else.
template <size_t N>
bool FromHex(std::string_view hex, std::array<uint8_t, N>& out) {
  if (hex.size() != 2 * N) return false;
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (size_t i = 0; i < N; ++i) {
    int high = nibble(hex[2 * i]);
    int low = nibble(hex[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    out[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}

}  // namespace

std::string_view BuiltInReleaseKey() { return kReleasePublicKey; }

namespace {

bool Accepts(std::string_view publicKeyHex, const SignedPieces& pieces, std::string_view signatureHex) {
  if (publicKeyHex.empty()) return true;
  P256Point key{};
  P256Signature signature{};
  if (!FromHex(publicKeyHex, key) || key[0] != 0x04 || !FromHex(signatureHex, signature)) return false;
  return P256SignatureVerifies(key, pieces, signature);
}

// The file is read in pieces of this size.
constexpr size_t kFilePiece = 256 * 1024;

}  // namespace

bool ReleaseSignatureAccepts(std::string_view publicKeyHex, std::string_view bytes, std::string_view signatureHex) {
  bool given = false;
  return Accepts(
      publicKeyHex,
      [&](std::string_view& piece) {
        piece = given ? std::string_view() : bytes;
        given = true;
        return true;
      },
      signatureHex);
}

bool ReleaseFileSignatureAccepts(std::string_view publicKeyHex, int fd, uint64_t length, std::string_view signatureHex) {
  std::unique_ptr<char[]> buffer;
  uint64_t position = 0;
  return Accepts(
      publicKeyHex,
      [&](std::string_view& piece) {
        if (!buffer) buffer = std::make_unique_for_overwrite<char[]>(kFilePiece);
        const auto wanted = static_cast<size_t>(std::min<uint64_t>(kFilePiece, length - position));
        if (wanted == 0) {
          piece = {};
          return true;
        }
        const long long got = platform::ReadAt(fd, buffer.get(), wanted, position);
        if (got <= 0) return false;
        position += static_cast<uint64_t>(got);
        piece = std::string_view(buffer.get(), static_cast<size_t>(got));
        return true;
      },
      signatureHex);
}
