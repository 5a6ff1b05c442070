#pragma once
// WinHttpClient: the one HTTP class of the programs. One object performs one synchronous request
// (up to three attempts), falls back to the user's proxy environment when it cannot get through,
// decodes the answer by its charset and can report the progress of the body to a window. A caller
// fills in the public fields, calls SendRequest, reads the answer and destroys the object; nothing
// is shared between objects. Not thread-safe: one thread from creation to destruction.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/http/body_file.h"
#include "common/http/phase_watch.h"
#include "common/http/response_buffer.h"
#include "common/http/transfer.h"
#include "platform/message_numbers.h"
#include "platform/message_target.h"

// Posted to the progress target while a body is read: wParam = body bytes so far, lParam = the
// answer's Content-Length or 0 when it has none.
inline constexpr unsigned WM_HTTP_PROGRESS = platform::kMsgHttpProgress;

class WinHttpClient {
 public:
  // Codes the client sets itself; every other last error is the transport's code of the step that
  // failed last (http::LastErrorOf).
  static constexpr uint32_t kErrorEmptyUrl = 3;
  static constexpr uint32_t kErrorIncompletePage = 13;
  static constexpr uint32_t kErrorBadVerb = 87;
  // The answer passed maxResponseBytes or its headers http::kMaxHeaderBytes (libcurl's "maximum
  // file size exceeded"; a number WinHTTP gives none of its own codes).
  static constexpr uint32_t kErrorAnswerTooLarge = http::kTransportErrorBase + 63;

  // The bound of the updater's release download: a setup program of tens of MiB with ample room,
  // still one that memory can hold.
  static constexpr uint32_t kMaxReleaseBytes = uint32_t{1} << 30;
  // The bound of a caller that names none: far more than any page, picture or service answer, far
  // less than memory. A caller that fetches more says so (the release download).
  static constexpr uint32_t kDefaultMaxResponseBytes = uint32_t{16} << 20;

  // The user agent of the head-image and release downloads.
  static const char* const kBrowserUserAgent;

  explicit WinHttpClient(std::string requestUrl);
  ~WinHttpClient();
  WinHttpClient(const WinHttpClient&) = delete;
  WinHttpClient& operator=(const WinHttpClient&) = delete;

  // Request fields; set by plain assignment before SendRequest.
  bool requireValidCertificate = false;  // false: https accepts unknown CAs, bad dates, other names
  std::string url;                       // absolute http or https URL
  std::string charset;                   // decoding of the answer; the answer's header overrides it
  std::string additionalHeaders;         // header lines, each ending in CR LF
  std::string proxyServer;               // "host:port" of a proxy of the caller's own; empty = none
  std::string userAgent = "WinHttpClient";
  std::string proxyUserName;
  std::string proxyPassword;
  http::HttpTimeouts timeouts;           // resolve 0 (none), connect 60000, send 30000, receive 30000
  platform::MessageTarget* progressTarget = nullptr;  // not owned; must outlive SendRequest
  // The longest body kept. A longer one, or one announced longer, fails the request at once with
  // kErrorAnswerTooLarge, not retried, and nothing of it is kept.
  uint32_t maxResponseBytes = kDefaultMaxResponseBytes;
  // An open file (not owned) that receives the body as it arrives instead of memory: emptied for
  // every answer and written from its start, so a body of any size costs no more memory than the
  // transfer's buffer. GetResponseBytes is then null and GetResponseLength the bytes written; the
  // caller judges the file (the incomplete-page check needs the body in memory and is not made).
  int responseFile = -1;

  // Copies bytes as the request body, written after the headers of a POST (a GET sends none).
  void SetRequestBody(std::string_view bytes) { requestBody_.assign(bytes); }
  const std::string& RequestBody() const { return requestBody_; }

  // Performs the request: verb "GET" or "POST" in any case. disableRedirects turns off following
  // redirects and the incomplete-page check of GET. True when an answer body was read, whatever its
  // HTTP status; false with GetLastErrorCode() otherwise. An answer past its bound leaves no body.
  bool SendRequest(std::string_view verb, bool disableRedirects);

  // The body decoded to UTF-8 text (made on each call from the bytes, which are held only once).
  std::string GetResponseText() const;
  // The body exactly as received; null before any answer and when it went to responseFile.
  const uint8_t* GetResponseBytes() const;
  uint32_t GetResponseLength() const { return responseLength_; }
  // Replaces the file at path with the body held in memory. False when there is none (no file is
  // then made) or the file could not be written.
  bool SaveResponseToFile(const std::string& path) const;

  uint32_t GetLastErrorCode() const { return lastError_; }
  const std::string& GetHostName() const { return hostName_; }
  // The raw header block of the last answer, lines separated by CR LF.
  const std::string& GetResponseHeaders() const { return responseHeaders_; }
  // The answer's Content-Length, 0 when it had none.
  uint32_t GetContentLength() const { return contentLength_; }

  // Test hook: body growth fails from this capacity on, as if memory ran out.
  void SetBufferLimitForTest(size_t capacity) { response_.SetGrowthLimitForTest(capacity); }

 private:
  class AnswerSink;

  void PostProgress(uint32_t received) const;
  uint32_t ReceivedBytes() const;

  std::unique_ptr<http::TransferSession> session_;
  std::string hostName_;
  std::string responseHeaders_;
  http::ResponseBuffer response_;
  http::BodyFile responseFile_;
  uint32_t responseLength_ = 0;
  uint32_t contentLength_ = 0;
  std::string requestBody_;
  uint32_t lastError_ = 0;
};
