#pragma once
// RequestStream: one request on a client connection as the HTTP library reads it and writes its
// answer, with the bounds of RequestLimits. The request's bytes mostly arrived before (see
// ConnectionLoop); what is still missing may take what is left of its time and byte budget. Bytes
// received past the request are kept for the next one on the connection.

#include <httplib.h>

#include <chrono>
#include <string>

#include "service/net/request_limits.h"

namespace service {

class RequestStream : public httplib::Stream {
 public:
  using Clock = std::chrono::steady_clock;

  // socket stays owned by the caller. readTimeout is the longest wait for the next bytes, writeTimeout
  // for room to send.
  RequestStream(int socket, const RequestLimits& limits, Clock::duration readTimeout, Clock::duration writeTimeout);

  // Takes up a request whose bytes (received, from its first byte on) arrived elsewhere, with its
  // byte budget and its deadline counted from since.
  void Adopt(std::string received, Clock::time_point since);
  // What was received past the request the library read: the start of the next one.
  std::string TakeUnread();

  // The request ran out of time or bytes: the connection is in no state for another one.
  bool Spoilt() const { return timedOut_ || overBudget_; }

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
