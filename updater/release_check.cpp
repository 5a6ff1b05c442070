#include "updater/release_check.h"

#include "common/http/header_text.h"
#include "updater/release_signature.h"

ReleaseVerdict JudgeRelease(std::string_view headerBlock, std::string_view body, std::string_view publicKeyHex,
                            std::string_view signatureHex) {
  int status = http::StatusCodeOf(headerBlock.substr(0, headerBlock.find('\n') + 1));
  if (status < 200 || status > 299) return ReleaseVerdict::NotSuccess;
  std::optional<uint32_t> announced = http::FindContentLength(headerBlock);
  if (body.empty() || (announced && *announced != body.size())) return ReleaseVerdict::Incomplete;
  if (!ReleaseSignatureAccepts(publicKeyHex, body, signatureHex)) return ReleaseVerdict::SignatureRefused;
  return ReleaseVerdict::Accepted;
}
