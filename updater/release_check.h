#pragma once
// What a finished download must be before it is saved and started: a success answer, as long as
// the answer itself announced, and signed with the release key. The HTTP client takes any status
// and a body cut short as an answer; this is where such an answer stops.

#include <cstdint>
#include <string_view>

enum class ReleaseVerdict {
  Accepted,
  NotSuccess,    // the status is not 2xx (an error page, a redirect not followed)
  Incomplete,    // no body, or fewer or more bytes than the Content-Length announced
  SignatureRefused,  // no signature, or one that does not verify under the key
};

// headerBlock: the answer's raw header block, its status line first.
ReleaseVerdict JudgeRelease(std::string_view headerBlock, std::string_view body, std::string_view publicKeyHex,
                            std::string_view signatureHex);

// The same for a body that went to a file as it arrived: the first length bytes of the file open as
// fd (readable), whose signature is checked by reading it back piece by piece.
ReleaseVerdict JudgeReleaseFile(std::string_view headerBlock, int fd, uint64_t length, std::string_view publicKeyHex,
                                std::string_view signatureHex);
