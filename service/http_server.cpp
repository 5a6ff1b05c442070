#include "service/http_server.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

#include "service/api/api_service.h"
#include "service/net/bounded_server.h"
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
  Impl(ServiceData& data, int threads, const RequestLimits& limits) : server(limits), api(data), site(data) {
    server.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  }
  BoundedServer server;
  ApiService api;
  MemberSite site;
  std::string listenAddress;
  // Set before the serving thread starts and never after: the request threads only read it. The
  // Host header is never used for links, so a forged one cannot point a client elsewhere.
  std::string baseUrl;
  std::thread thread;
};

HttpServer::HttpServer(ServiceData& data, int threads, const RequestLimits& limits)
    : impl_(std::make_unique<Impl>(data, threads, limits)) {
  httplib::Server& server = impl_->server;
  Impl* impl = impl_.get();
  // Address reuse lets a restart bind while old connections linger, but no port sharing: a second
  // service on a taken port must fail to bind instead of silently splitting the requests.
  server.set_socket_options([](int socket) {
    int yes = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    // Answers go out as header and body writes; without this the second waits for the client's
    // delayed acknowledgement, some 40 ms per request on a kept-alive connection.
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  });
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
  httplib::Server& server = impl_->server;
  int bound = port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
  if (bound <= 0) {
    error = "cannot listen on " + host + ":" + std::to_string(port) +
            " (the port is in use, or the address is not one of this machine's)";
    return false;
  }
  port_ = bound;
  impl_->listenAddress = (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" + std::to_string(bound);
  impl_->baseUrl = publicUrl.empty() ? "http://" + impl_->listenAddress : publicUrl;
  impl_->thread = std::thread([&server] { server.listen_after_bind(); });
  // Stop must find the server running, or it would have nothing to stop and the join would hang.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!server.is_running() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

void HttpServer::Stop() {
  if (!impl_->thread.joinable()) return;
  impl_->server.stop();
  impl_->thread.join();
}

}  // namespace service
