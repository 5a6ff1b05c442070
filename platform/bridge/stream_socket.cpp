// What every system's stream socket shares: its ownership.
#include "platform/bridge/stream_socket.h"

#include <utility>

namespace platform::bridge {

StreamSocket::~StreamSocket() { Close(); }

StreamSocket::StreamSocket(StreamSocket&& other) noexcept
    : native_(std::exchange(other.native_, kInvalid)), shut_(other.shut_.load()) {}

StreamSocket& StreamSocket::operator=(StreamSocket&& other) noexcept {
  if (this != &other) {
    Close();
    native_ = std::exchange(other.native_, kInvalid);
    shut_ = other.shut_.load();
  }
  return *this;
}

}  // namespace platform::bridge
