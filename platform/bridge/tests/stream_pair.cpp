#include "platform/bridge/tests/stream_pair.h"

#include <cstdlib>

namespace bridge_test {

bool SendAll(StreamSocket& socket, const std::vector<uint8_t>& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    StreamSocket::Result n = socket.Send(std::span<const uint8_t>(bytes).subspan(sent));
    if (n.io == StreamSocket::Io::Closed) return false;
    if (n.io == StreamSocket::Io::Again && !socket.Wait(true, 10'000)) return false;
    sent += n.bytes;
  }
  return true;
}

ScopedVariable::ScopedVariable(const char* name, const char* value) : name_(name) {
  const char* old = std::getenv(name);
  had_ = old != nullptr;
  if (old) saved_ = old;
  SetVariable(name, value);
}

ScopedVariable::~ScopedVariable() { SetVariable(name_.c_str(), had_ ? saved_.c_str() : nullptr); }

}  // namespace bridge_test
