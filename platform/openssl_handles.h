#pragma once
// Owning handles for the OpenSSL objects the programs' signing and checking code holds, so each is
// freed however the code leaves. For the files built over OpenSSL only.

#include <openssl/ec.h>
#include <openssl/evp.h>

#include <memory>

namespace platform {

template <auto Free>
struct OpensslFree {
  template <class T>
  void operator()(T* object) const {
    Free(object);
  }
};

using EvpKey = std::unique_ptr<EVP_PKEY, OpensslFree<&EVP_PKEY_free>>;
using EvpDigestContext = std::unique_ptr<EVP_MD_CTX, OpensslFree<&EVP_MD_CTX_free>>;
using EcdsaSignature = std::unique_ptr<ECDSA_SIG, OpensslFree<&ECDSA_SIG_free>>;

}  // namespace platform
