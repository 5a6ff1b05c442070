#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/http/header_text.h"
#include "common/http/redirect_target.h"
#include "common/http/transfer.h"
#include "platform/codepage.h"
#include "platform/wide_text.h"

// The exchange runs on WinHTTP's synchronous calls, whose own time-outs are the four of PhaseWatch:
// resolve and connect for their phase as a whole, send and receive as idle limits on each socket
// operation, so the time a caller holds the body is never the peer's. The header block has the
// receive limit as a whole through WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, which Windows counts
// for the whole block; Wine 8 counts it per read, so there a header block that keeps dripping in
// is held only by the header bound.
//
// Redirects are followed here, one request after the other, not by WinHTTP: each request then has
// the receive limit for its own headers, and every target is checked before anything goes to it
// (Wine reads "file:///x" as a path on the same server). The header bound holds for each answer
// WinHTTP reads: at most one more than the redirects followed, and the credentials asked for once.

namespace http {
namespace {

constexpr DWORD kMaxRedirects = 10;
constexpr DWORD kReadBytes = 64 * 1024;
constexpr size_t kMaxHostCharacters = 259;
constexpr size_t kMaxPathCharacters = 1299;
// An https request that need not check its certificate lets an unknown authority, another name and
// a bad date through.
constexpr DWORD kIgnoredCertificateFaults =
    SECURITY_FLAG_IGNORE_UNKNOWN_CA | SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID;
// What the attempt reports when the body passes its bound or the sink cannot keep it.
constexpr DWORD kBodyRefused = ERROR_WRITE_FAULT;
// Winsock's codes that Wine passes on where Windows gives WinHTTP's own.
constexpr DWORD kSocketTimedOut = 10060;
constexpr DWORD kSocketReset = 10054;
constexpr DWORD kSocketAborted = 10053;

struct HandleCloser {
  void operator()(HINTERNET handle) const { ::WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A string WinHTTP hands over for the caller to free.
struct GlobalText {
  explicit GlobalText(LPWSTR owned) : text(owned) {}
  ~GlobalText() {
    if (text) ::GlobalFree(text);
  }
  GlobalText(const GlobalText&) = delete;
  GlobalText& operator=(const GlobalText&) = delete;
  std::wstring value() const { return text ? text : L""; }
  LPWSTR text;
};

DWORD LastError() {
  const DWORD error = ::GetLastError();
  if (error == kSocketTimedOut) return ERROR_WINHTTP_TIMEOUT;
  if (error == kSocketReset || error == kSocketAborted) return ERROR_WINHTTP_CONNECTION_ERROR;
  return error;
}

DWORD Limit(int milliseconds) { return milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0; }  // 0 = none

bool SetNumber(HINTERNET handle, DWORD option, DWORD value) {
  return ::WinHttpSetOption(handle, option, &value, sizeof value) != FALSE;
}

bool SetText(HINTERNET handle, DWORD option, const std::string& text) {
  std::wstring wide = platform::Widen(text);
  return ::WinHttpSetOption(handle, option, wide.data(), static_cast<DWORD>(wide.size())) != FALSE;
}

// Records, from WinHTTP's notifications on the calling thread, that a request went out.
void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID, DWORD) {
  if (context != 0 && status == WINHTTP_CALLBACK_STATUS_REQUEST_SENT) {
    reinterpret_cast<std::atomic<bool>*>(context)->store(true);
  }
}

// The strongest scheme a proxy offers.
DWORD StrongestScheme(DWORD offered) {
  for (DWORD scheme : {WINHTTP_AUTH_SCHEME_NEGOTIATE, WINHTTP_AUTH_SCHEME_NTLM, WINHTTP_AUTH_SCHEME_DIGEST,
                       WINHTTP_AUTH_SCHEME_BASIC}) {
    if (offered & scheme) return scheme;
  }
  return 0;
}

struct ProxyChoice {
  DWORD access = WINHTTP_ACCESS_TYPE_DEFAULT_PROXY;
  std::wstring server;
  std::wstring bypass;
};

// The WinHTTP sessions of one client, one per proxy it goes through: WinHTTP keeps the proxy with the
// session (Wine takes none set on a request).
class SessionPool {
 public:
  // The session of choice, opened on first use; null with the code in *error when it cannot open.
  HINTERNET For(const ProxyChoice& choice, DWORD* error) {
    for (const Entry& entry : entries_) {
      if (entry.choice.access == choice.access && entry.choice.server == choice.server &&
          entry.choice.bypass == choice.bypass) {
        return entry.session.get();
      }
    }
    // No agent of the session's own: each request names its user agent in its headers.
    Handle session(::WinHttpOpen(nullptr, choice.access,
                                 choice.server.empty() ? WINHTTP_NO_PROXY_NAME : choice.server.c_str(),
                                 choice.bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : choice.bypass.c_str(), 0));
    if (!session) {
      *error = LastError();
      return nullptr;
    }
    entries_.push_back({choice, std::move(session)});
    return entries_.back().session.get();
  }

 private:
  struct Entry {
    ProxyChoice choice;
    Handle session;
  };
  std::vector<Entry> entries_;
};

// The user's own proxy: the browser's settings, through the script they name or the proxy they
// fix; the default configuration when they name neither. A failure leaves its code in *error.
std::optional<ProxyChoice> BrowserProxy(HINTERNET session, const std::string& url, DWORD* error) {
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
  if (!::WinHttpGetIEProxyConfigForCurrentUser(&config)) {
    *error = LastError();
    return std::nullopt;
  }
  GlobalText script(config.lpszAutoConfigUrl), proxy(config.lpszProxy), bypass(config.lpszProxyBypass);
  if (script.text) {
    WINHTTP_AUTOPROXY_OPTIONS options{};
    options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT | WINHTTP_AUTOPROXY_CONFIG_URL;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP;
    options.lpszAutoConfigUrl = script.text;
    options.fAutoLogonIfChallenged = TRUE;
    WINHTTP_PROXY_INFO found{};
    if (!::WinHttpGetProxyForUrl(session, platform::Widen(url).c_str(), &options, &found)) {
      *error = LastError();
      return std::nullopt;
    }
    GlobalText foundProxy(found.lpszProxy), foundBypass(found.lpszProxyBypass);
    if (!foundProxy.text) return ProxyChoice{WINHTTP_ACCESS_TYPE_NO_PROXY, {}, {}};
    return ProxyChoice{WINHTTP_ACCESS_TYPE_NAMED_PROXY, foundProxy.value(), foundBypass.value()};
  }
  if (proxy.text) return ProxyChoice{WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxy.value(), bypass.value()};
  return ProxyChoice{};
}

// One attempt of one request: the request, and each one a redirect leads to, over a request handle
// of its own.
class Exchange {
 public:
  Exchange(SessionPool& sessions, const TransferRequest& request, TransferSink& sink)
      : sessions_(sessions), request_(request), sink_(sink) {}

  TransferResult Run() {
    DWORD error = 0;
    HINTERNET session = ChooseSession(&error);
    if (!session) return Failed(error);
    std::string url = request_.url;
    bool post = request_.post;
    for (DWORD redirects = 0;; ++redirects) {
      if (DWORD failed = Request(session, url, post)) return NoAnswer(failed);
      if (!request_.followRedirects) break;
      const DWORD status = StatusCode();
      const std::string location = Header(WINHTTP_QUERY_LOCATION).value_or("");
      // A 3xx without a place to go is the answer itself.
      if (status < 300 || status >= 400 || location.find_first_not_of(" \t") == std::string::npos) break;
      std::optional<std::string> target = RedirectTarget(url, location);
      if (!target || redirects == kMaxRedirects) return NoAnswer(ERROR_WINHTTP_REDIRECT_FAILED);
      // Only 307 and 308 repeat a POST; the others ask for the new place with GET.
      if (status != 307 && status != 308) post = false;
      url = std::move(*target);
    }
    return ReadAnswer();
  }

 private:
  TransferResult Failed(DWORD error) const {
    TransferResult result;
    result.code = static_cast<int>(error);
    return result;
  }

  // Fails an attempt that was meant to bring an answer; before a request went out it counts as
  // not sent.
  TransferResult NoAnswer(DWORD error) const {
    TransferResult result = Failed(error);
    result.stage = sent_ ? TransferResult::Stage::NoAnswer : TransferResult::Stage::NotSent;
    result.tooLarge = error == ERROR_WINHTTP_HEADER_SIZE_OVERFLOW;
    return result;
  }

  HINTERNET ChooseSession(DWORD* error) {
    switch (request_.proxyMode) {
      case ProxyMode::Direct:
        break;  // the system's default proxy configuration
      case ProxyMode::Named:
        return sessions_.For({WINHTTP_ACCESS_TYPE_NAMED_PROXY, platform::Widen(request_.proxyServer), {}}, error);
      case ProxyMode::FromEnvironment: {
        HINTERNET session = sessions_.For({}, error);
        if (!session) return nullptr;
        std::optional<ProxyChoice> choice = BrowserProxy(session, request_.url, error);
        return choice ? sessions_.For(*choice, error) : nullptr;
      }
    }
    return sessions_.For({}, error);
  }

  // Sends one request and waits for its answer's headers; 0, or the code of the step that failed.
  DWORD Request(HINTERNET session, const std::string& url, bool post) {
    std::optional<UrlParts> parts = SplitUrl(url);
    if (!parts) return ERROR_WINHTTP_INVALID_URL;
    const bool secure = parts->scheme == "https";
    handle_.reset();
    connection_.reset(
        ::WinHttpConnect(session, platform::Widen(parts->host).c_str(), static_cast<INTERNET_PORT>(parts->port), 0));
    if (!connection_) return LastError();
    handle_.reset(::WinHttpOpenRequest(connection_.get(), post ? L"POST" : L"GET",
                                       platform::Widen(parts->pathAndQuery).c_str(), nullptr, WINHTTP_NO_REFERER,
                                       WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0));
    if (!handle_ || !Configure(secure) || !AddHeaders()) return LastError();
    const auto sentAt = std::chrono::steady_clock::now();
    bool credentialsGiven = false;
    for (;;) {
      if (!Send(post) || !::WinHttpReceiveResponse(handle_.get(), nullptr)) return LastError();
      // A proxy that asks for the credentials it was given gets them once, in the strongest
      // scheme it offers; a second demand is the answer.
      if (StatusCode() != HTTP_STATUS_PROXY_AUTH_REQ || credentialsGiven || request_.proxyUserName.empty()) break;
      credentialsGiven = true;
      if (!GiveProxyCredentials()) break;
    }
    std::optional<std::string> block = Header(WINHTTP_QUERY_RAW_HEADERS_CRLF);
    if (!block) return ERROR_WINHTTP_HEADER_SIZE_OVERFLOW;  // where the system keeps no header bound
    // Wine hands over a header block cut short by the receive limit or by the peer as if it were
    // whole; one without its empty line is no answer.
    if (!block->ends_with("\r\n\r\n")) {
      const auto waited = std::chrono::steady_clock::now() - sentAt;
      const bool late = request_.timeouts.receive > 0 && waited >= std::chrono::milliseconds(request_.timeouts.receive);
      return late ? ERROR_WINHTTP_TIMEOUT : ERROR_WINHTTP_INVALID_SERVER_RESPONSE;
    }
    block_ = std::move(*block);
    return 0;
  }

  bool Configure(bool secure) {
    HINTERNET handle = handle_.get();
    const HttpTimeouts& limits = request_.timeouts;
    if (!::WinHttpSetTimeouts(handle, static_cast<int>(Limit(limits.resolve)), static_cast<int>(Limit(limits.connect)),
                              static_cast<int>(Limit(limits.send)), static_cast<int>(Limit(limits.receive)))) {
      return false;
    }
    // Bounds that WinHTTP keeps where it knows them; the header bound is checked again below.
    if (limits.receive > 0) (void)SetNumber(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, Limit(limits.receive));
    (void)SetNumber(handle, WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE, static_cast<DWORD>(kMaxHeaderBytes));
    // Nothing outlives the client: no cookies, and no connection kept for a later request (Wine
    // pools connections for the whole process).
    if (!SetNumber(handle, WINHTTP_OPTION_DISABLE_FEATURE,
                   WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_KEEP_ALIVE)) {
      return false;
    }
    if (secure && !request_.verifyCertificate &&
        !SetNumber(handle, WINHTTP_OPTION_SECURITY_FLAGS, kIgnoredCertificateFaults)) {
      return false;
    }
    if (request_.proxyMode == ProxyMode::Named && !request_.proxyUserName.empty()) {
      if (!SetText(handle, WINHTTP_OPTION_PROXY_USERNAME, request_.proxyUserName)) return false;
      if (!request_.proxyPassword.empty() && !SetText(handle, WINHTTP_OPTION_PROXY_PASSWORD, request_.proxyPassword)) {
        return false;
      }
    }
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(&sent_);
    return ::WinHttpSetOption(handle, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context) &&
           ::WinHttpSetStatusCallback(handle, &OnStatus, WINHTTP_CALLBACK_FLAG_SEND_REQUEST, 0) !=
               WINHTTP_INVALID_STATUS_CALLBACK;
  }

  // The caller's lines as given, and the user agent unless the caller names one of its own.
  bool AddHeaders() {
    std::vector<std::string> lines = request_.headerLines;
    if (!request_.userAgent.empty() && !HasHeader(lines, "User-Agent"))
      lines.push_back("User-Agent: " + request_.userAgent);
    for (const std::string& line : lines) {
      std::wstring wide = platform::Widen(line) + L"\r\n";
      if (!::WinHttpAddRequestHeaders(handle_.get(), wide.c_str(), static_cast<DWORD>(wide.size()),
                                      WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
        return false;
      }
    }
    return true;
  }

  bool Send(bool post) {
    // The body goes with the request, so a request sent again (credentials) carries it again.
    const std::string_view body = post ? request_.body : std::string_view();
    if (body.size() > MAXDWORD) {
      ::SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    const auto length = static_cast<DWORD>(body.size());
    return ::WinHttpSendRequest(handle_.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                                length ? const_cast<char*>(body.data()) : WINHTTP_NO_REQUEST_DATA, length, length,
                                0) != FALSE;
  }

  bool GiveProxyCredentials() {
    DWORD offered = 0, first = 0, target = 0;
    if (!::WinHttpQueryAuthSchemes(handle_.get(), &offered, &first, &target)) return false;
    const DWORD scheme = StrongestScheme(offered);
    if (scheme == 0) return false;
    std::wstring user = platform::Widen(request_.proxyUserName);
    std::wstring password = platform::Widen(request_.proxyPassword);
    return ::WinHttpSetCredentials(handle_.get(), WINHTTP_AUTH_TARGET_PROXY, scheme, user.c_str(), password.c_str(),
                                   nullptr) != FALSE;
  }

  DWORD StatusCode() const {
    DWORD status = 0;
    DWORD size = sizeof status;
    ::WinHttpQueryHeaders(handle_.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                          WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
    return status;
  }

  // A header of the answer (level WINHTTP_QUERY_RAW_HEADERS_CRLF: the whole block) as UTF-8; empty
  // when it has none, nothing when it passes the header bound.
  std::optional<std::string> Header(DWORD level) const {
    DWORD size = 0;
    ::WinHttpQueryHeaders(handle_.get(), level, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &size,
                          WINHTTP_NO_HEADER_INDEX);
    if (size / sizeof(wchar_t) > kMaxHeaderBytes) return std::nullopt;
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (size == 0 || !::WinHttpQueryHeaders(handle_.get(), level, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &size,
                                            WINHTTP_NO_HEADER_INDEX)) {
      return std::string();
    }
    text.resize(std::min<size_t>(text.size(), size / sizeof(wchar_t)));
    return platform::Narrow(text);
  }

  TransferResult ReadAnswer() {
    TransferResult result;
    result.stage = TransferResult::Stage::Answered;
    sink_.OnAnswerHeaders(block_);
    // An answer that announces a longer body is refused before any of it is read.
    if (std::optional<uint32_t> announced = FindContentLength(block_);
        announced && *announced > request_.maxBodyBytes) {
      result.tooLarge = true;
      result.code = kBodyRefused;
      return result;
    }
    std::string buffer(kReadBytes, '\0');
    uint64_t total = 0;
    for (;;) {
      DWORD available = 0;
      if (!::WinHttpQueryDataAvailable(handle_.get(), &available)) {
        result.code = static_cast<int>(LastError());
        break;
      }
      if (available == 0) break;
      DWORD got = 0;
      if (!::WinHttpReadData(handle_.get(), buffer.data(), std::min(available, kReadBytes), &got)) {
        result.code = static_cast<int>(LastError());
        break;
      }
      if (got == 0) break;
      if (got > request_.maxBodyBytes - total) {
        result.tooLarge = true;
        result.code = kBodyRefused;
        break;
      }
      total += got;
      if (!sink_.OnBodyChunk(std::string_view(buffer.data(), got))) {
        result.code = kBodyRefused;
        break;
      }
    }
    return result;
  }

  SessionPool& sessions_;
  const TransferRequest& request_;
  TransferSink& sink_;
  Handle connection_;
  Handle handle_;      // closed before its connection
  std::string block_;  // the raw header block of the latest answer
  std::atomic<bool> sent_{false};
};

}  // namespace

uint32_t LastErrorOf(int code) { return static_cast<uint32_t>(code); }

const uint32_t kErrorMalformedUrl = ERROR_WINHTTP_INVALID_URL;
const uint32_t kErrorCannotConnect = ERROR_WINHTTP_CANNOT_CONNECT;
const uint32_t kErrorTimedOut = ERROR_WINHTTP_TIMEOUT;
const uint32_t kErrorTooManyRedirects = ERROR_WINHTTP_REDIRECT_FAILED;

std::optional<UrlParts> SplitUrl(const std::string& url) {
  std::wstring wide = platform::Widen(url);
  URL_COMPONENTS components{};
  components.dwStructSize = sizeof components;
  components.dwSchemeLength = components.dwHostNameLength = components.dwUrlPathLength = components.dwExtraInfoLength =
      static_cast<DWORD>(-1);
  if (wide.empty() || !::WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &components)) {
    return std::nullopt;
  }
  UrlParts parts;
  if (components.nScheme == INTERNET_SCHEME_HTTP) {
    parts.scheme = "http";
  } else if (components.nScheme == INTERNET_SCHEME_HTTPS) {
    parts.scheme = "https";
  } else {
    return std::nullopt;
  }
  parts.host = platform::Narrow({components.lpszHostName, components.dwHostNameLength});
  parts.port = components.nPort;
  std::wstring_view extra(components.lpszExtraInfo ? components.lpszExtraInfo : L"", components.dwExtraInfoLength);
  extra = extra.substr(0, extra.find(L'#'));  // the fragment is not sent
  parts.pathAndQuery = platform::Narrow({components.lpszUrlPath, components.dwUrlPathLength}) + platform::Narrow(extra);
  if (parts.pathAndQuery.empty() || parts.pathAndQuery[0] != '/') parts.pathAndQuery.insert(0, "/");
  if (parts.host.empty() || platform::CountCodePoints(parts.host) > kMaxHostCharacters ||
      platform::CountCodePoints(parts.pathAndQuery) > kMaxPathCharacters) {
    return std::nullopt;
  }
  return parts;
}

struct TransferSession::Handles {
  SessionPool sessions;
};

TransferSession::TransferSession() = default;
TransferSession::~TransferSession() = default;

bool TransferSession::Open(int* error) {
  if (handles_) return true;
  auto handles = std::make_unique<Handles>();
  DWORD failed = 0;
  if (!handles->sessions.For({}, &failed)) {
    *error = static_cast<int>(failed);
    return false;
  }
  handles_ = std::move(handles);
  return true;
}

TransferResult TransferSession::Run(const TransferRequest& request, TransferSink& sink) {
  if (!handles_) {
    TransferResult result;
    result.code = ERROR_INVALID_HANDLE;
    return result;
  }
  return Exchange(handles_->sessions, request, sink).Run();
}

}  // namespace http
