#include "client/core/api/request_signer.h"

#include <openssl/evp.h>

#include <algorithm>
#include <memory>

#include "platform/codepage.h"

namespace {

struct DigestContextFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

}  // namespace

std::string Md5Hex(std::string_view bytes) {
  std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1 ||
      EVP_DigestUpdate(context.get(), bytes.data(), bytes.size()) != 1 ||
      EVP_DigestFinal_ex(context.get(), digest, &length) != 1) {
    return {};
  }
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(length * 2);
  for (unsigned int i = 0; i < length; ++i) {
    hex.push_back(kHex[digest[i] >> 4]);
    hex.push_back(kHex[digest[i] & 0x0F]);
  }
  return hex;
}

RequestForm::RequestForm(std::string_view method) { Signed("method", method); }

RequestForm& RequestForm::Signed(std::string_view name, std::string_view value) {
  fields_.push_back({std::string(name), std::string(value), true, false});
  return *this;
}

RequestForm& RequestForm::Unsigned(std::string_view name, std::string_view value) {
  fields_.push_back({std::string(name), std::string(value), false, false});
  return *this;
}

RequestForm& RequestForm::Sign() {
  fields_.push_back({"sign", {}, false, true});
  return *this;
}

std::string RequestForm::SignedText() const {
  std::vector<const Field*> signedFields;
  for (const Field& field : fields_) {
    if (field.isSigned) signedFields.push_back(&field);
  }
  std::stable_sort(signedFields.begin(), signedFields.end(),
                   [](const Field* a, const Field* b) { return a->name < b->name; });
  std::string text(kSignatureKey);
  for (const Field* field : signedFields) {
    text += field->name;
    text += field->value;
  }
  return text;
}

std::string RequestForm::Text() const {
  std::string text;
  for (const Field& field : fields_) {
    if (!text.empty()) text += '&';
    text += field.name;
    text += '=';
    text += field.isSign ? Md5Hex(platform::ToCodePage(SignedText())) : field.value;
  }
  return text;
}
