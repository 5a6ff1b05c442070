#include "common/http/win_http_client.h"

#include "common/http/body_text.h"
#include "common/http/header_text.h"
#include "common/http/transfer.h"
#include "platform/file_io.h"
#include "platform/text.h"

using http::TransferResult;

const char* const WinHttpClient::kBrowserUserAgent =
    "Mozilla/4.0 (compatible; MSIE 8.0; Windows NT 5.1; Trident/4.0; .NET CLR 1.1.4322; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.4506.2152; .NET CLR 3.5.30729; InfoPath.2; CIBA; MS-RTC LM 8)";

namespace {
constexpr int kAttempts = 3;
}  // namespace

// Receives one attempt's answer into the client's fields.
class WinHttpClient::AnswerSink : public http::TransferSink {
 public:
  explicit AnswerSink(WinHttpClient& client) : client_(client) {}

  void OnAnswerHeaders(std::string_view block) override {
    client_.responseHeaders_.assign(block);
    if (std::optional<std::string> found = http::FindCharset(block)) client_.charset = *found;
    // The length describes this answer only; one without the header reports 0, not an earlier value.
    client_.contentLength_ = http::FindContentLength(block).value_or(0);
    client_.responseLength_ = 0;
    if (client_.responseFile_.active()) {
      growthFailed_ = !client_.responseFile_.Restart();
      return;
    }
    growthFailed_ = !client_.response_.Restart();
    // A body that announces its length gets its room at once, not by doubling; the bound still
    // holds, as the transport refuses an announced length past it before any body arrives.
    if (!growthFailed_ && client_.contentLength_ <= client_.maxResponseBytes) {
      client_.response_.Reserve(client_.contentLength_);
    }
  }

  bool OnBodyChunk(std::string_view chunk) override {
    if (growthFailed_) return false;
    client_.PostProgress(client_.ReceivedBytes());
    const bool kept =
        client_.responseFile_.active() ? client_.responseFile_.Append(chunk) : client_.response_.Append(chunk);
    if (!kept) {
      growthFailed_ = true;
      return false;
    }
    return true;
  }

  bool growthFailed() const { return growthFailed_; }

 private:
  WinHttpClient& client_;
  bool growthFailed_ = false;
};

WinHttpClient::WinHttpClient(std::string requestUrl) : url(std::move(requestUrl)) {}

WinHttpClient::~WinHttpClient() = default;

bool WinHttpClient::SendRequest(std::string_view verb, bool disableRedirects) {
  if (url.empty()) {
    lastError_ = kErrorEmptyUrl;
    return false;
  }
  bool post;
  if (platform::EqualsIgnoringAsciiCase(verb, "GET")) {
    post = false;
  } else if (platform::EqualsIgnoringAsciiCase(verb, "POST")) {
    post = true;
  } else {
    lastError_ = kErrorBadVerb;
    return false;
  }
  if (!session_) {
    auto session = std::make_unique<http::TransferSession>();
    int error = 0;
    if (!session->Open(&error)) {
      lastError_ = http::LastErrorOf(error);
      return false;
    }
    session_ = std::move(session);
  }
  std::optional<http::UrlParts> parts = http::SplitUrl(url);
  if (!parts) {
    lastError_ = http::kErrorMalformedUrl;
    return false;
  }
  hostName_ = parts->host;

  http::TransferRequest request;
  request.url = url;
  request.post = post;
  request.body = requestBody_;
  // The lines are shaped once: every attempt sends the same headers, never a value merged with
  // itself from an earlier attempt.
  http::HeaderLines headers = http::MergeHeaderLines(additionalHeaders);
  if (headers.malformed) lastError_ = kErrorBadVerb;  // invalid parameter, as the platform says
  request.headerLines = std::move(headers.lines);
  request.userAgent = userAgent;
  request.proxyMode = proxyServer.empty() ? http::ProxyMode::Direct : http::ProxyMode::Named;
  request.proxyServer = proxyServer;
  request.proxyUserName = proxyUserName;
  request.proxyPassword = proxyPassword;
  request.verifyCertificate = requireValidCertificate;
  request.followRedirects = !disableRedirects;
  request.timeouts = timeouts;
  request.maxBodyBytes = maxResponseBytes;
  responseFile_ = http::BodyFile(responseFile);

  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    AnswerSink sink(*this);
    TransferResult result = session_->Run(request, sink);
    if (result.tooLarge) {
      // Another attempt would only fetch the same flood again.
      lastError_ = kErrorAnswerTooLarge;
      response_.Release();
      if (responseFile_.active()) responseFile_.Restart();
      responseLength_ = 0;
      return false;
    }
    if (result.stage != TransferResult::Stage::Answered) {
      lastError_ = http::LastErrorOf(result.code);
      // The fallback when a request cannot get out directly: the user's own proxy configuration,
      // which is the proxy environment on Linux and the browser's proxy settings on Windows. It stays
      // for the remaining attempts. A proxy of the caller's own is set again on every attempt, so the
      // fallback never replaces it.
      if (result.stage == TransferResult::Stage::NotSent && request.proxyMode == http::ProxyMode::Direct) {
        request.proxyMode = http::ProxyMode::FromEnvironment;
      }
      continue;
    }
    // A body cut short still counts as an answer; the caller's parsing decides.
    if (result.code != 0) lastError_ = http::LastErrorOf(result.code);
    responseLength_ = ReceivedBytes();
    PostProgress(responseLength_);
    if (sink.growthFailed()) return false;
    if (!post && !disableRedirects && !responseFile_.active() && http::IsIncompleteHtmlPage(response_.view())) {
      lastError_ = kErrorIncompletePage;
      continue;
    }
    return true;
  }
  return false;
}

std::string WinHttpClient::GetResponseText() const { return http::DecodeBody(response_.view(), charset); }

const uint8_t* WinHttpClient::GetResponseBytes() const {
  return reinterpret_cast<const uint8_t*>(response_.data());
}

bool WinHttpClient::SaveResponseToFile(const std::string& path) const {
  if (!response_.allocated() || responseLength_ == 0) return false;
  // Written beside the target and renamed over it: a failed write never leaves half a file.
  return platform::WriteFileAtomically(path, response_.view().substr(0, responseLength_));
}

uint32_t WinHttpClient::ReceivedBytes() const {
  // Both stay within maxResponseBytes, a 32-bit bound.
  return static_cast<uint32_t>(responseFile_.active() ? responseFile_.size() : response_.size());
}

void WinHttpClient::PostProgress(uint32_t received) const {
  if (progressTarget) progressTarget->PostMessage(WM_HTTP_PROGRESS, received, static_cast<intptr_t>(contentLength_));
}
