#pragma once
// What the bridge's tests need of the system's sockets, the same on every system: two ends of one
// stream, a listener the simulator's end stands in for, and the environment. Made in
// stream_pair_<platform>.cpp: Unix sockets on Linux, loopback TCP on Windows.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/bridge/stream_socket.h"

namespace bridge_test {

using platform::bridge::StreamSocket;

// Both ends of one connected stream.
std::pair<StreamSocket, StreamSocket> StreamPair();

// Writes bytes whole, waiting as long as it takes; false when the stream failed.
bool SendAll(StreamSocket& socket, const std::vector<uint8_t>& bytes);

// A listening socket at an endpoint Connection::Connect takes, served by hand or left unserved.
class TestListener {
 public:
  TestListener();
  ~TestListener();
  TestListener(const TestListener&) = delete;
  TestListener& operator=(const TestListener&) = delete;

  const std::string& endpoint() const;
  // The next connection, or an empty socket when none came within timeoutMs.
  StreamSocket Accept(int timeoutMs);
  // Stops listening: a simulator that ended.
  void Close();
  // Listens at the same endpoint again: a simulator that was started anew.
  bool Listen();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Sets, or with a null value removes, an environment variable of this process.
void SetVariable(const char* name, const char* value);

// SetVariable for one scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  bool had_ = false;
  std::string saved_;
};

}  // namespace bridge_test
