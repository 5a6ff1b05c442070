#include "service/net/bounded_server.h"

#include "service/net/request_stream.h"

namespace service {
namespace {

std::chrono::microseconds Span(time_t seconds, time_t microseconds) {
  return std::chrono::seconds(seconds) + std::chrono::microseconds(microseconds);
}

// Whether the answer just written on this thread's connection asked to close it. Answers are written
// on the thread that serves the request, inside process_request.
thread_local bool answerCloses = false;

}  // namespace

BoundedServer::BoundedServer(const RequestLimits& limits) : limits_(limits) {
  set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
    answerCloses = response.get_header_value("Connection") == "close";
  });
}

bool BoundedServer::ServeOne(ClientConnection& connection) {
  RequestStream stream(connection.socket.get(), limits_, Span(read_timeout_sec_, read_timeout_usec_),
                       Span(write_timeout_sec_, write_timeout_usec_));
  stream.Adopt(std::move(connection.received), connection.since);
  bool closed = false;
  answerCloses = false;
  bool served = process_request(stream, connection.requestsLeft == 1, closed, {});
  if (!served || closed || answerCloses || stream.Spoilt()) return false;
  connection.received = stream.TakeUnread();
  return true;
}

}  // namespace service
