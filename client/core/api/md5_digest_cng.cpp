#include "client/core/api/md5_digest.h"

#include "platform/cng_digest.h"

std::optional<Md5Bytes> Md5Digest(std::string_view bytes) {
  platform::CngDigest digest(BCRYPT_MD5_ALGORITHM);
  Md5Bytes out{};
  if (!digest.Add(bytes) || !digest.Finish(out.data(), out.size())) return std::nullopt;
  return out;
}
