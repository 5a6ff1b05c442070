#include "service/http_server.h"

#include <httplib.h>

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "service/api/api_service.h"
#include "service/net/bounded_server.h"
#include "service/net/connection_loop.h"
#include "service/net/listening_socket.h"
#include "service/site/member_site.h"
#include "service/wire/xml_answer.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

constexpr const char* kXmlType = "text/xml; charset=utf-8";

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

void SendApiAnswer(httplib::Response& response, int status, std::string xml) {
  response.status = status;
  response.set_content(std::move(xml), kXmlType);
}

// The refusal of a body above the bound. The connection has to close, since the rest of that
// body would otherwise be taken for the next request.
void RefuseTooLarge(httplib::Response& response) {
  response.set_header("Connection", "close");
  SendApiAnswer(response, 413, RefusalAnswer("5", "请求数据太大"));
}

void SendWebAnswer(httplib::Response& response, WebAnswer answer) {
  response.status = answer.status;
  for (const auto& [name, value] : answer.headers) response.set_header(name.c_str(), value);
  if (answer.filePath.empty()) {
    response.set_content(std::move(answer.body), answer.contentType.c_str());
    return;
  }
  std::error_code error;
  auto size = std::filesystem::file_size(answer.filePath, error);
  std::shared_ptr<std::FILE> file(error ? nullptr : std::fopen(answer.filePath.c_str(), "rb"),
                                  [](std::FILE* f) { if (f) std::fclose(f); });
  if (!file) {
    response.status = 404;
    response.set_content("not found", "text/plain; charset=utf-8");
    return;
  }
  // Streamed in pieces, so a large release never sits whole in memory.
  response.set_content_provider(static_cast<size_t>(size), answer.contentType.c_str(),
                                [file](size_t offset, size_t length, httplib::DataSink& sink) {
                                  char buffer[64 * 1024];
                                  if (std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0) return false;
                                  size_t got = std::fread(buffer, 1, std::min(length, sizeof buffer), file.get());
                                  return got > 0 && sink.write(buffer, got);
                                });
}

WebRequest ToWebRequest(const httplib::Request& request, const std::string& baseUrl) {
  WebRequest web;
  web.verb = request.method;
  web.path = request.path;
  for (const auto& [name, value] : request.params) web.params.emplace_back(name, value);
  web.cookies = request.get_header_value("Cookie");
  web.baseUrl = baseUrl;
  return web;
}

}  // namespace

struct HttpServer::Impl {
  Impl(ServiceData& data, int requestThreads, const RequestLimits& limits)
      : server(limits), api(data), site(data), threads(requestThreads) {}
  BoundedServer server;
  ApiService api;
  MemberSite site;
  std::string listenAddress;
  // Set before the serving thread starts and never after: the request threads only read it. The
  // Host header is never used for links, so a forged one cannot point a client elsewhere.
  std::string baseUrl;
  int threads;
  std::unique_ptr<ConnectionLoop> loop;
};

HttpServer::HttpServer(ServiceData& data, int threads, const RequestLimits& limits)
    : impl_(std::make_unique<Impl>(data, threads, limits)) {
  httplib::Server& server = impl_->server;
  Impl* impl = impl_.get();
  server.set_keep_alive_max_count(1000);
  server.set_payload_max_length(kMaxApiBodyBytes);

  server.Post("/", [impl](const httplib::Request& request, httplib::Response& response,
                          const httplib::ContentReader& reader) {
    // An announced body above the bound is refused unread.
    auto announced = ParseUnsigned(request.get_header_value("Content-Length"));
    if (announced && *announced > kMaxApiBodyBytes) {
      RefuseTooLarge(response);
      return;
    }
    std::string body;
    bool tooLarge = false;
    bool whole = reader([&](const char* bytes, size_t length) {
      if (body.size() + length > kMaxApiBodyBytes) {
        tooLarge = true;
        return false;
      }
      body.append(bytes, length);
      return true;
    });
    if (tooLarge) {
      RefuseTooLarge(response);
      return;
    }
    // A body cut off by the client, its deadline or its byte budget is never answered as if whole.
    if (!whole) {
      response.set_header("Connection", "close");
      SendApiAnswer(response, 400, RefusalAnswer("2", "请求数据不完整"));
      return;
    }
    SendApiAnswer(response, 200, impl->api.Answer(body, impl->baseUrl, Now()));
  });
  auto sitePage = [impl](const httplib::Request& request, httplib::Response& response) {
    SendWebAnswer(response, impl->site.Answer(ToWebRequest(request, impl->baseUrl), Now()));
  };
  server.Post("/register", sitePage);
  server.Get(".*", sitePage);
}

HttpServer::~HttpServer() { Stop(); }

const std::string& HttpServer::address() const { return impl_->listenAddress; }

const std::string& HttpServer::publicUrl() const { return impl_->baseUrl; }

bool HttpServer::Start(const std::string& host, int port, std::string& error, const std::string& publicUrl) {
  int bound = 0;
  platform::UniqueFd listening = ListenOn(host, port, bound);
  if (!listening) {
    error = "cannot listen on " + host + ":" + std::to_string(port) +
            " (the port is in use, or the address is not one of this machine's)";
    return false;
  }
  impl_->listenAddress = (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" + std::to_string(bound);
  impl_->baseUrl = publicUrl.empty() ? "http://" + impl_->listenAddress : publicUrl;
  BoundedServer& server = impl_->server;
  server.SetServing(listening.get());
  ConnectionLoop::Settings settings{server.limits(), server.keepAlive(), server.maxRequestsPerConnection(),
                                    impl_->threads};
  impl_->loop = std::make_unique<ConnectionLoop>(
      settings, [&server](ClientConnection& connection) { return server.ServeOne(connection); });
  if (!impl_->loop->Start(std::move(listening))) {
    server.SetStopping();
    impl_->loop.reset();
    error = "cannot serve on " + impl_->listenAddress + ": out of descriptors";
    return false;
  }
  port_ = bound;
  return true;
}

void HttpServer::Stop() {
  impl_->server.SetStopping();
  if (impl_->loop) impl_->loop->Stop();
}

}  // namespace service
