#pragma once
// RequestStream: one client connection as the HTTP library reads and writes it, with the bounds of
// RequestLimits on every request. The head is received and checked whole before the library parses
// it; the body may then take what is left of the request's time and byte budget. Bytes received past
// a request stay for the next one on the connection.

#include <httplib.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "service/net/request_limits.h"

namespace service {

class RequestStream : public httplib::Stream {
 public:
  using Clock = std::chrono::steady_clock;

  enum class Arrival { Ready, Closed, TimedOut, RequestLineTooLong, HeadTooLarge };

  // socket stays owned by the caller. readTimeout is the longest wait for the next bytes, writeTimeout
  // for room to send.
  RequestStream(int socket, const RequestLimits& limits, Clock::duration readTimeout, Clock::duration writeTimeout);

  // Waits up to idle for the first byte of the next request; false when none came or stopping()
  // turned true meanwhile (asked every 100 ms).
  bool AwaitRequest(Clock::duration idle, const std::function<bool()>& stopping);

  // Starts the next request's byte budget and its deadline, counted from since, and receives its
  // whole head; Ready when the library may read it.
  Arrival ReceiveHead(Clock::time_point since);

  // The request ran out of time or bytes: the connection is in no state for another one.
  bool Spoilt() const { return timedOut_ || overBudget_; }

  // Answers status with a short text and no keep-alive, then reads and drops what the client still
  // sends for a moment: closing with unread input resets the connection, and the reset can overtake
  // the answer.
  void Refuse(int status, std::string_view reason);

  // httplib::Stream
  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, size_t size) override;
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return socket_; }

 private:
  size_t Pending() const { return buffer_.size() - readAt_; }
  // Waits until the socket is ready for events or until; false on time-out or error.
  bool Wait(short events, Clock::time_point until) const;
  // Receives what has arrived into the buffer, waiting no longer than the read time-out and the
  // request's deadline; false on time-out (timedOut_ set), end of stream or error.
  bool Fill();

  int socket_;
  RequestLimits limits_;
  Clock::duration readTimeout_;
  Clock::duration writeTimeout_;
  std::string buffer_;  // received, not yet read from readAt_ on
  size_t readAt_ = 0;
  Clock::time_point deadline_ = Clock::time_point::max();
  size_t delivered_ = 0;  // bytes of the current request handed to the library
  bool timedOut_ = false;
  bool overBudget_ = false;
};

}  // namespace service
