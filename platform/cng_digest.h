#pragma once
// Owning handles for the CNG (bcrypt) objects the programs' digest and signature code holds, and a
// digest computed piece by piece. For the files built over CNG only; they link bcrypt.

#include <windows.h>
// After windows.h, which defines what bcrypt.h's declarations are written in.
#include <bcrypt.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

struct CngAlgorithmClose {
  void operator()(void* handle) const { BCryptCloseAlgorithmProvider(handle, 0); }
};
struct CngHashDestroy {
  void operator()(void* handle) const { BCryptDestroyHash(handle); }
};
struct CngKeyDestroy {
  void operator()(void* handle) const { BCryptDestroyKey(handle); }
};

using CngAlgorithm = std::unique_ptr<void, CngAlgorithmClose>;
using CngHash = std::unique_ptr<void, CngHashDestroy>;
using CngKey = std::unique_ptr<void, CngKeyDestroy>;

// The provider of a CNG algorithm (BCRYPT_MD5_ALGORITHM, BCRYPT_ECDSA_P256_ALGORITHM...); empty
// when the system has none.
inline CngAlgorithm OpenCngAlgorithm(const wchar_t* name) {
  BCRYPT_ALG_HANDLE handle = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&handle, name, nullptr, 0))) return CngAlgorithm();
  return CngAlgorithm(handle);
}

// A digest of bytes given piece by piece. Any failed step is kept: Finish then fails too.
class CngDigest {
 public:
  explicit CngDigest(const wchar_t* algorithm) : algorithm_(OpenCngAlgorithm(algorithm)) {
    BCRYPT_HASH_HANDLE hash = nullptr;
    // Without a buffer of ours, CNG keeps the hash object itself.
    if (algorithm_ && BCRYPT_SUCCESS(BCryptCreateHash(algorithm_.get(), &hash, nullptr, 0, nullptr, 0, 0))) {
      hash_.reset(hash);
    }
  }

  bool Add(std::string_view bytes) {
    // The call counts bytes in a ULONG: a larger piece goes in parts.
    constexpr size_t kMostAtOnce = size_t{1} << 30;
    while (hash_ && !bytes.empty()) {
      const size_t count = bytes.size() < kMostAtOnce ? bytes.size() : kMostAtOnce;
      auto* data = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data()));
      if (!BCRYPT_SUCCESS(BCryptHashData(hash_.get(), data, static_cast<ULONG>(count), 0))) hash_.reset();
      bytes.remove_prefix(count);
    }
    return static_cast<bool>(hash_);
  }

  // Writes the digest to out, which must be exactly the algorithm's digest length; false when it is
  // not or a step failed. The digest cannot take more bytes afterwards.
  bool Finish(uint8_t* out, size_t size) {
    if (!hash_) return false;
    DWORD length = 0;
    ULONG written = 0;
    const bool done =
        BCRYPT_SUCCESS(BCryptGetProperty(hash_.get(), BCRYPT_HASH_LENGTH, reinterpret_cast<PUCHAR>(&length),
                                         sizeof length, &written, 0)) &&
        written == sizeof length && length == size &&
        BCRYPT_SUCCESS(BCryptFinishHash(hash_.get(), out, static_cast<ULONG>(size), 0));
    hash_.reset();
    return done;
  }

 private:
  CngAlgorithm algorithm_;
  CngHash hash_;
};

}  // namespace platform
