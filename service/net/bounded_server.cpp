#include "service/net/bounded_server.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "service/net/request_stream.h"

namespace service {
namespace {

std::chrono::microseconds Span(time_t seconds, time_t microseconds) {
  return std::chrono::seconds(seconds) + std::chrono::microseconds(microseconds);
}

// Whether the answer just written on this thread's connection asked to close it. Answers are written
// on the thread that serves the connection, inside process_request.
thread_local bool answerCloses = false;

}  // namespace

BoundedServer::BoundedServer(const RequestLimits& limits) : limits_(limits) {
  set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
    answerCloses = response.get_header_value("Connection") == "close";
  });
}

bool BoundedServer::process_and_close_socket(socket_t sock) {
  RequestStream stream(sock, limits_, Span(read_timeout_sec_, read_timeout_usec_),
                       Span(write_timeout_sec_, write_timeout_usec_));
  auto stopping = [this] { return svr_sock_ == INVALID_SOCKET; };
  RequestStream::Clock::duration keepAlive = std::chrono::seconds(keep_alive_timeout_sec_);
  RequestStream::Clock::time_point takenUp = RequestStream::Clock::now();
  bool served = false;
  for (size_t left = keep_alive_max_count_; left > 0; --left) {
    // A new connection's wait for its first byte counts toward its first request's deadline: a
    // client that connects and sends nothing must not hold its thread for the keep-alive time.
    bool first = left == keep_alive_max_count_;
    auto idle = first ? std::min<RequestStream::Clock::duration>(keepAlive, limits_.deadline) : keepAlive;
    if (!stream.AwaitRequest(idle, stopping)) break;
    RequestStream::Arrival arrival = stream.ReceiveHead(first ? takenUp : RequestStream::Clock::now());
    if (arrival == RequestStream::Arrival::TimedOut) stream.Refuse(408, "Request Timeout");
    if (arrival == RequestStream::Arrival::RequestLineTooLong) stream.Refuse(414, "URI Too Long");
    if (arrival == RequestStream::Arrival::HeadTooLarge) stream.Refuse(431, "Request Header Fields Too Large");
    if (arrival != RequestStream::Arrival::Ready) break;
    bool closed = false;
    answerCloses = false;
    served = process_request(stream, left == 1, closed, {});
    if (!served || closed || answerCloses || stream.Spoilt()) break;
  }
  shutdown(sock, SHUT_RDWR);
  close(sock);
  return served;
}

}  // namespace service
