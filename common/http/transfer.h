#pragma once
// The platform HTTP service under WinHttpClient, driven one exchange at a time: libcurl on Linux
// (curl_transfer.cpp), WinHTTP on Windows (winhttp_transfer.cpp). A session owns what the service
// keeps between requests; Run performs one attempt of a request and hands the answer to a sink as
// it arrives, under the time-outs of PhaseWatch.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/http/phase_watch.h"

namespace http {

// Codes of libcurl reach callers as this base plus libcurl's own number, so that they never meet
// the client's own codes 3, 13 and 87; WinHTTP's own codes already start there.
inline constexpr unsigned kTransportErrorBase = 12000;

// The last error a caller sees for a transport's code (TransferResult::code, Open's error).
uint32_t LastErrorOf(int code);

// The last errors of the failures that callers tell apart, as each platform's service names them.
extern const uint32_t kErrorMalformedUrl;      // not an absolute http or https URL within the sizes
extern const uint32_t kErrorCannotConnect;     // nothing accepted the connection
extern const uint32_t kErrorTimedOut;          // a phase ran past its time-out
extern const uint32_t kErrorTooManyRedirects;  // a redirect that could not be followed (a loop)

// The most header bytes one attempt takes in, over all the answers it sees (interim answers,
// redirects, demands for credentials): what the reference platform allows one answer, and far more
// than any service sends.
inline constexpr size_t kMaxHeaderBytes = 64 * 1024;

struct UrlParts {
  std::string scheme;  // "http" or "https"
  std::string host;
  int port = 0;
  std::string pathAndQuery;
};

// Splits an absolute http or https URL; nothing for any other scheme, a malformed URL, a host of
// 260 characters or more or a path with query of 1300 or more (the sizes the client accepts).
std::optional<UrlParts> SplitUrl(const std::string& url);

enum class ProxyMode {
  Direct,           // no proxy of the user's own: none on Linux whatever the environment says, the
                    // system's default configuration on Windows
  Named,            // the request's proxy server, with its credentials
  FromEnvironment,  // the user's own proxy configuration: the proxy environment (http_proxy,
                    // https_proxy, no_proxy) on Linux, the browser's proxy settings on Windows
};

struct TransferRequest {
  std::string url;
  bool post = false;
  std::string_view body;                 // sent with a POST; must outlive Run
  std::vector<std::string> headerLines;  // "Name: value" each; replace the service's own of that name
  std::string userAgent;                 // empty = no User-Agent header
  ProxyMode proxyMode = ProxyMode::Direct;
  std::string proxyServer;
  std::string proxyUserName;
  std::string proxyPassword;
  bool verifyCertificate = false;
  bool followRedirects = true;
  HttpTimeouts timeouts;
  uint64_t maxBodyBytes = UINT32_MAX;  // a longer body (or a longer one announced) ends the attempt
};

class TransferSink {
 public:
  virtual ~TransferSink() = default;
  // The raw header block (status line, headers, empty line; CR LF) of an answer that no further
  // request of this exchange replaces. May come again if the service answers once more (after a
  // proxy's demand for credentials); the body that follows belongs to the latest block.
  virtual void OnAnswerHeaders(std::string_view block) = 0;
  // The next bytes of the body; false stops the exchange.
  virtual bool OnBodyChunk(std::string_view chunk) = 0;
};

struct TransferResult {
  enum class Stage {
    NotSent,   // failed before the request was sent: name lookup, connect, TLS, sending
    NoAnswer,  // sent, but no answer arrived (time-out, connection lost, redirect loop, ...)
    Answered,  // the sink got an answer; a code here means its body was cut short
  };
  Stage stage = Stage::NotSent;
  int code = 0;  // the service's code (LastErrorOf gives the caller's); 0 = the exchange ran to its end
  // The answer passed a bound: more header bytes than kMaxHeaderBytes, or a body longer than the
  // request's maxBodyBytes. The sink was given none of the body beyond the bound.
  bool tooLarge = false;
};

class TransferSession {
 public:
  TransferSession();
  ~TransferSession();
  TransferSession(const TransferSession&) = delete;
  TransferSession& operator=(const TransferSession&) = delete;

  // Opens the session; false (with the service's code in *error) when the service cannot start.
  bool Open(int* error);
  // One attempt of request; the session must be open.
  TransferResult Run(const TransferRequest& request, TransferSink& sink);

 private:
  struct Handles;
  std::unique_ptr<Handles> handles_;
};

}  // namespace http
