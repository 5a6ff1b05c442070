#pragma once
// The bounds every request to the service must keep while it arrives.

#include <chrono>
#include <cstddef>

namespace service {

struct RequestLimits {
  // The request line and the header lines with their line ends, up to the blank line.
  size_t maxHeadBytes = 32 * 1024;
  size_t maxHeaderFields = 100;
  // Head and body as sent, chunk framing included; far above the largest body the service takes.
  size_t maxRequestBytes = 256 * 1024;
  // From the first byte of a request to the last byte of its body; for the first request of a
  // connection, from when a request thread takes the connection up. A client that takes longer
  // loses the connection, so a few slow clients cannot hold every request thread. Shorter than the
  // client's five seconds of waiting for an answer, so that a request queued behind slow clients
  // is still answered in time.
  std::chrono::milliseconds deadline{4000};
};

}  // namespace service
