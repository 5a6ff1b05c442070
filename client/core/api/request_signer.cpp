#include "client/core/api/request_signer.h"

#include <algorithm>

#include "client/core/api/md5_digest.h"
#include "platform/codepage.h"

std::string Md5Hex(std::string_view bytes) {
  std::optional<Md5Bytes> digest = Md5Digest(bytes);
  if (!digest) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(digest->size() * 2);
  for (uint8_t byte : *digest) {
    hex.push_back(kHex[byte >> 4]);
    hex.push_back(kHex[byte & 0x0F]);
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
