#include "common/http/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <climits>

#include "common/http/header_text.h"
#include "platform/codepage.h"
#include "platform/text.h"

namespace http {
namespace {

using Clock = PhaseWatch::Clock;
using Phase = PhaseWatch::Phase;

// A redirect loop ends here as a failed attempt; libcurl on its own would follow without end.
constexpr long kMaxRedirects = 10;
// libcurl's default of 16 KiB makes a large download cost a receive call and a callback
// per 16 KiB; half a MiB (libcurl's largest before 7.88) takes what loopback or a fast link has
// delivered in one go, for a buffer that is small beside any body worth it.
constexpr long kReceiveBufferBytes = 512 * 1024;
constexpr size_t kMaxHostCharacters = 259;
constexpr size_t kMaxPathCharacters = 1299;

bool InitializeLibrary() {
  static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ok;
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlDeleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

std::string UrlPart(CURLU* url, CURLUPart part, unsigned flags = 0) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, flags) != CURLUE_OK || !text) return {};
  std::string result(text);
  curl_free(text);
  return result;
}

// The state of one attempt, reached from libcurl's callbacks, which all run on the calling thread.
class Attempt {
 public:
  Attempt(const TransferRequest& request, TransferSink& sink)
      : watch(request.timeouts, Clock::now()), request_(request), sink_(sink) {}

  static size_t OnHeader(char* data, size_t size, size_t count, void* self) {
    return static_cast<Attempt*>(self)->HeaderLine(std::string_view(data, size * count)) ? size * count : 0;
  }

  static size_t OnWrite(char* data, size_t size, size_t count, void* self) {
    auto* attempt = static_cast<Attempt*>(self);
    attempt->watch.Activity(Clock::now());
    // A body that comes behind a block libcurl did not follow belongs to that block.
    if (attempt->pending_) attempt->Promote();
    if (!attempt->answered) return size * count;
    const size_t n = size * count;
    if (n > attempt->request_.maxBodyBytes - attempt->bodyBytes_) {
      attempt->tooLarge = true;
      return 0;
    }
    attempt->bodyBytes_ += n;
    bool kept = attempt->sink_.OnBodyChunk(std::string_view(data, n));
    // The sink may hold the transfer (a download its window has paused); that time is ours, not the
    // peer's, so the wait for the next byte starts when the sink lets go.
    attempt->watch.Activity(Clock::now());
    return kept ? n : 0;
  }

  static size_t OnRead(char* buffer, size_t size, size_t count, void* self) {
    auto* attempt = static_cast<Attempt*>(self);
    std::string_view body = attempt->request_.body;
    size_t n = std::min(size * count, body.size() - attempt->bodyOffset_);
    std::copy_n(body.data() + attempt->bodyOffset_, n, buffer);
    attempt->bodyOffset_ += n;
    Clock::time_point now = Clock::now();
    attempt->watch.Activity(now);
    if (attempt->bodyOffset_ == body.size() && attempt->watch.Current() == Phase::Sending) {
      attempt->watch.Enter(Phase::AwaitingHeaders, now);
    }
    return n;
  }

  // libcurl rewinds the body when it must send the request again (a proxy's demand for credentials).
  static int OnSeek(void* self, curl_off_t offset, int origin) {
    auto* attempt = static_cast<Attempt*>(self);
    if (origin != SEEK_SET || offset < 0 || static_cast<size_t>(offset) > attempt->request_.body.size()) {
      return CURL_SEEKFUNC_CANTSEEK;
    }
    attempt->bodyOffset_ = static_cast<size_t>(offset);
    return CURL_SEEKFUNC_OK;
  }

  // Called for every socket libcurl opens to connect: the name lookup is over.
  static int OnSocket(void* self, curl_socket_t, curlsocktype) {
    auto* attempt = static_cast<Attempt*>(self);
    if (attempt->watch.Current() != Phase::Connecting) attempt->watch.Enter(Phase::Connecting, Clock::now());
    return CURL_SOCKOPT_OK;
  }

  // Called once a connection is ready and a request is about to go out: the first, and each one
  // libcurl sends again after a redirect or a demand for credentials.
  static int OnPrereq(void* self, char*, char*, int, int) {
    auto* attempt = static_cast<Attempt*>(self);
    bool body = attempt->request_.post && !attempt->request_.body.empty();
    attempt->watch.Enter(body ? Phase::Sending : Phase::AwaitingHeaders, Clock::now());
    return CURL_PREREQFUNC_OK;
  }

  // At the end of the exchange: an answer whose body never began is still an answer, unless it
  // was a redirect that libcurl went on to follow and the failure came after it.
  void Finish(int code) {
    if (pending_ && (code == CURLE_OK || !pendingIsRedirect_)) Promote();
  }

  PhaseWatch watch;
  bool answered = false;
  bool tooLarge = false;

 private:
  // False stops the exchange: the header bytes have passed their bound.
  bool HeaderLine(std::string_view line) {
    headerBytes_ += line.size();
    if (headerBytes_ > kMaxHeaderBytes) {
      tooLarge = true;
      return false;
    }
    // Header lines are no sign of life: the whole block must arrive within the receive limit of the
    // request it answers. An answer that comes while the body still goes out ends the sending, and
    // one that follows a body libcurl read past us (a redirect it follows) starts its own limit.
    Clock::time_point now = Clock::now();
    const bool statusLine = line.substr(0, 5) == "HTTP/";
    if (watch.Current() == Phase::Sending || (statusLine && watch.Current() == Phase::Receiving)) {
      watch.Enter(Phase::AwaitingHeaders, now);
    }
    if (statusLine) {
      // A new answer begins: the one before was a redirect or a demand for credentials.
      block_.clear();
      pending_ = false;
      status_ = StatusCodeOf(line);
      hasLocation_ = false;
    }
    block_ += line;
    if (FindIgnoreCase(line, "Location:") == 0 && line.find_first_not_of(" \t\r\n", 9) != std::string_view::npos) {
      hasLocation_ = true;
    }
    if (line == "\r\n" || line == "\n") {
      if (status_ >= 200) {
        // The block is whole; its body (or the next request) is waited for byte by byte.
        if (watch.Current() == Phase::AwaitingHeaders) watch.Enter(Phase::Receiving, now);
        pending_ = true;
        // libcurl follows any 3xx that names a Location.
        pendingIsRedirect_ = request_.followRedirects && hasLocation_ && status_ >= 300 && status_ < 400;
      }
    }
    return true;
  }

  void Promote() {
    pending_ = false;
    answered = true;
    bodyBytes_ = 0;
    sink_.OnAnswerHeaders(block_);
  }

  const TransferRequest& request_;
  TransferSink& sink_;
  std::string block_;
  int status_ = 0;
  bool hasLocation_ = false;
  bool pending_ = false;  // block_ is complete and may be the answer
  bool pendingIsRedirect_ = false;
  size_t bodyOffset_ = 0;
  size_t headerBytes_ = 0;  // of every answer this attempt has seen
  uint64_t bodyBytes_ = 0;  // of the answer promoted last
};

std::unique_ptr<curl_slist, ListDeleter> BuildHeaderList(const TransferRequest& request) {
  std::vector<std::string> lines = request.headerLines;
  // Headers libcurl would add that the reference platform does not send unless the caller does.
  if (!HasHeader(lines, "Accept")) lines.emplace_back("Accept:");
  if (!HasHeader(lines, "Expect")) lines.emplace_back("Expect:");
  if (request.post && !HasHeader(lines, "Content-Type")) lines.emplace_back("Content-Type:");
  curl_slist* list = nullptr;
  for (const std::string& line : lines) {
    curl_slist* grown = curl_slist_append(list, line.c_str());
    if (!grown) {
      curl_slist_free_all(list);
      return nullptr;
    }
    list = grown;
  }
  return std::unique_ptr<curl_slist, ListDeleter>(list);
}

CURLcode Configure(CURL* easy, const TransferRequest& request, Attempt& attempt, curl_slist* headers) {
  CURLcode rc = CURLE_OK;
  auto set = [&](CURLoption option, auto value) {
    if (rc == CURLE_OK) rc = curl_easy_setopt(easy, option, value);
  };
  bool https = platform::EqualsIgnoringAsciiCase(std::string_view(request.url).substr(0, 6), "https:");
  set(CURLOPT_URL, request.url.c_str());
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  // Redirects stay within http and https, and one that starts secure stays secure.
  set(CURLOPT_REDIR_PROTOCOLS_STR, https ? "https" : "http,https");
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  // The watch of PhaseWatch governs; libcurl's own connect limit must never cut in first.
  set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(INT_MAX));
  set(CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
  // An answer that announces a longer body is refused before any of it is read.
  set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBodyBytes));
  if (request.post) {
    set(CURLOPT_POST, 1L);
    set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    set(CURLOPT_READFUNCTION, &Attempt::OnRead);
    set(CURLOPT_READDATA, &attempt);
    set(CURLOPT_SEEKFUNCTION, &Attempt::OnSeek);
    set(CURLOPT_SEEKDATA, &attempt);
  } else {
    set(CURLOPT_HTTPGET, 1L);
  }
  set(CURLOPT_HTTPHEADER, headers);
  if (!request.userAgent.empty()) set(CURLOPT_USERAGENT, request.userAgent.c_str());
  switch (request.proxyMode) {
    case ProxyMode::Direct:
      set(CURLOPT_PROXY, "");
      break;
    case ProxyMode::Named:
      set(CURLOPT_PROXY, request.proxyServer.c_str());
      set(CURLOPT_NOPROXY, "");  // no bypass list: every host goes through it
      if (!request.proxyUserName.empty()) {
        set(CURLOPT_PROXYUSERNAME, request.proxyUserName.c_str());
        if (!request.proxyPassword.empty()) set(CURLOPT_PROXYPASSWORD, request.proxyPassword.c_str());
        // Credentials go out only when the proxy asks, in the strongest scheme it offers.
        set(CURLOPT_PROXYAUTH, static_cast<unsigned long>(CURLAUTH_ANY));
      }
      break;
    case ProxyMode::FromEnvironment:
      break;  // libcurl reads http_proxy, https_proxy, all_proxy and no_proxy itself
  }
  set(CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);  // a proxy tunnel's answer is not the answer
  set(CURLOPT_SSL_VERIFYPEER, request.verifyCertificate ? 1L : 0L);
  set(CURLOPT_SSL_VERIFYHOST, request.verifyCertificate ? 2L : 0L);
  set(CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
  set(CURLOPT_MAXREDIRS, kMaxRedirects);
  set(CURLOPT_HEADERFUNCTION, &Attempt::OnHeader);
  set(CURLOPT_HEADERDATA, &attempt);
  set(CURLOPT_WRITEFUNCTION, &Attempt::OnWrite);
  set(CURLOPT_WRITEDATA, &attempt);
  set(CURLOPT_SOCKOPTFUNCTION, &Attempt::OnSocket);
  set(CURLOPT_SOCKOPTDATA, &attempt);
  set(CURLOPT_PREREQFUNCTION, &Attempt::OnPrereq);
  set(CURLOPT_PREREQDATA, &attempt);
  return rc;
}

}  // namespace

std::optional<UrlParts> SplitUrl(const std::string& url) {
  if (!InitializeLibrary()) return std::nullopt;
  std::unique_ptr<CURLU, UrlDeleter> handle(curl_url());
  if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return std::nullopt;
  UrlParts parts;
  parts.scheme = UrlPart(handle.get(), CURLUPART_SCHEME);
  if (parts.scheme != "http" && parts.scheme != "https") return std::nullopt;
  parts.host = UrlPart(handle.get(), CURLUPART_HOST);
  std::string port = UrlPart(handle.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
  parts.port = port.empty() ? 0 : std::atoi(port.c_str());
  parts.pathAndQuery = UrlPart(handle.get(), CURLUPART_PATH);
  std::string query = UrlPart(handle.get(), CURLUPART_QUERY);
  if (!query.empty()) parts.pathAndQuery += "?" + query;
  if (parts.host.empty() || platform::CountCodePoints(parts.host) > kMaxHostCharacters ||
      platform::CountCodePoints(parts.pathAndQuery) > kMaxPathCharacters) {
    return std::nullopt;
  }
  return parts;
}

struct CurlSession::Handles {
  CURLM* multi = nullptr;
  ~Handles() {
    if (multi) curl_multi_cleanup(multi);
  }
};

CurlSession::CurlSession() = default;
CurlSession::~CurlSession() = default;

bool CurlSession::Open(int* error) {
  if (handles_) return true;
  if (!InitializeLibrary()) {
    *error = CURLE_FAILED_INIT;
    return false;
  }
  auto handles = std::make_unique<Handles>();
  handles->multi = curl_multi_init();
  if (!handles->multi) {
    *error = CURLE_OUT_OF_MEMORY;
    return false;
  }
  handles_ = std::move(handles);
  return true;
}

TransferResult CurlSession::Run(const TransferRequest& request, TransferSink& sink) {
  TransferResult result;
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  std::unique_ptr<curl_slist, ListDeleter> headers = BuildHeaderList(request);
  if (!handles_ || !easy || !headers) {
    result.code = CURLE_OUT_OF_MEMORY;
    return result;
  }
  Attempt attempt(request, sink);
  CURLcode configured = Configure(easy.get(), request, attempt, headers.get());
  if (configured != CURLE_OK) {
    result.code = configured;
    return result;
  }
  CURLM* multi = handles_->multi;
  if (curl_multi_add_handle(multi, easy.get()) != CURLM_OK) {
    result.code = CURLE_FAILED_INIT;
    return result;
  }
  int code = -1;
  while (code < 0) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      code = CURLE_FAILED_INIT;
      break;
    }
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy.get()) code = message->data.result;
    }
    if (code >= 0) break;
    std::optional<long long> left = attempt.watch.Remaining(Clock::now());
    if (left && *left == 0) {
      code = CURLE_OPERATION_TIMEDOUT;
      break;
    }
    int wait = static_cast<int>(left ? std::min<long long>(*left, 1000) : 1000);
    int ready = 0;
    if (curl_multi_poll(multi, nullptr, 0, wait, &ready) != CURLM_OK) code = CURLE_FAILED_INIT;
    // In the body the socket waking up is the sign that the next bytes came, also those libcurl
    // reads past the sink (chunk framing, the body of a redirect it follows). While the header
    // block is awaited it is not: that limit holds for the block as a whole.
    if (ready > 0 && attempt.watch.Current() == Phase::Receiving) attempt.watch.Activity(Clock::now());
  }
  curl_multi_remove_handle(multi, easy.get());
  attempt.Finish(code);
  if (!attempt.answered && code == CURLE_OK) code = CURLE_WEIRD_SERVER_REPLY;
  result.code = code;
  result.tooLarge = attempt.tooLarge || code == CURLE_FILESIZE_EXCEEDED;
  if (attempt.answered) {
    result.stage = TransferResult::Stage::Answered;
  } else if (attempt.watch.Current() == Phase::AwaitingHeaders || attempt.watch.Current() == Phase::Receiving) {
    result.stage = TransferResult::Stage::NoAnswer;
  } else {
    result.stage = TransferResult::Stage::NotSent;
  }
  return result;
}

}  // namespace http
