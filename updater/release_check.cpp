#include "updater/release_check.h"

#include "common/http/header_text.h"
#include "updater/release_signature.h"

namespace {

// The answer's status and length, before any byte of it is read for the signature.
ReleaseVerdict JudgeAnswer(std::string_view headerBlock, uint64_t length) {
  int status = http::StatusCodeOf(headerBlock.substr(0, headerBlock.find('\n') + 1));
  if (status < 200 || status > 299) return ReleaseVerdict::NotSuccess;
  std::optional<uint32_t> announced = http::FindContentLength(headerBlock);
  if (length == 0 || (announced && *announced != length)) return ReleaseVerdict::Incomplete;
  return ReleaseVerdict::Accepted;
}

}  // namespace

ReleaseVerdict JudgeRelease(std::string_view headerBlock, std::string_view body, std::string_view publicKeyHex,
                            std::string_view signatureHex) {
  ReleaseVerdict verdict = JudgeAnswer(headerBlock, body.size());
  if (verdict != ReleaseVerdict::Accepted) return verdict;
  if (!ReleaseSignatureAccepts(publicKeyHex, body, signatureHex)) return ReleaseVerdict::SignatureRefused;
  return ReleaseVerdict::Accepted;
}

ReleaseVerdict JudgeReleaseFile(std::string_view headerBlock, int fd, uint64_t length, std::string_view publicKeyHex,
                                std::string_view signatureHex) {
  ReleaseVerdict verdict = JudgeAnswer(headerBlock, length);
  if (verdict != ReleaseVerdict::Accepted) return verdict;
  if (!ReleaseFileSignatureAccepts(publicKeyHex, fd, length, signatureHex)) return ReleaseVerdict::SignatureRefused;
  return ReleaseVerdict::Accepted;
}
