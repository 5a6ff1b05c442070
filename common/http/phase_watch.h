#pragma once
// The four time-outs of a request and the watch that applies them while one exchange runs.
//
// How they map onto libcurl. libcurl can limit only the connect phase as a whole (name lookup,
// TCP connect and TLS handshake together, with a built-in 300 s when unset) and the transfer as a
// whole; neither is one of the four. So the exchange runs in our own loop over libcurl's multi
// interface, libcurl's own connect limit is pushed out of reach, and this watch decides, from
// libcurl's callbacks, which phase the exchange is in and how long that phase may still take:
//   resolve  - the name lookup (of the proxy when one is used): from the start until libcurl opens
//              its first socket. 0 = no limit: a slow lookup is waited for.
//   connect  - from that socket until the connection is ready for the request: TCP connect, proxy
//              tunnel and TLS handshake.
//   send     - while a request body is handed over: the longest libcurl may go without taking
//              more of it (a peer that stops reading).
//   receive  - from the end of the request until the answer is complete. The status line and
//              headers must all arrive within it, counted from the end of the request: a peer
//              that drips its header block a byte at a time fails as one that sends nothing. The
//              body then has it as the longest wait for its next bytes (a peer that stalls).
// Send and the body's receive are idle limits: a long body that keeps moving is never cut, while
// the header block, a few hundred bytes from a sound service, has no reason to take longer than
// the limit. A value of 0 or less is no limit for any of the four.

#include <chrono>
#include <optional>

namespace http {

struct HttpTimeouts {
  int resolve = 0;
  int connect = 60000;
  int send = 30000;
  int receive = 30000;
};

class PhaseWatch {
 public:
  using Clock = std::chrono::steady_clock;
  // AwaitingHeaders and Receiving (the body) both run under the receive limit.
  enum class Phase { Resolving, Connecting, Sending, AwaitingHeaders, Receiving };

  PhaseWatch(const HttpTimeouts& timeouts, Clock::time_point now);

  // Moves to phase; its limit counts from now.
  void Enter(Phase phase, Clock::time_point now);
  // Bytes moved: the idle limit of sending or of receiving a body starts again. No effect in the
  // other phases, whose limits hold for the phase as a whole.
  void Activity(Clock::time_point now);

  Phase Current() const { return phase_; }
  // Milliseconds left of the current phase's limit (0 once it has run out); nothing without limit.
  std::optional<long long> Remaining(Clock::time_point now) const;

 private:
  HttpTimeouts timeouts_;
  Phase phase_ = Phase::Resolving;
  Clock::time_point since_;
};

}  // namespace http
