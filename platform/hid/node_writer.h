#pragma once
// Part of the Linux HID host (hid_node_linux.cpp). The writer of one HID node: a thread that performs the node's writes, so that a write that blocks
// in the kernel blocks this thread and not the caller, who waits only as long as asked. A write the
// caller gave up on ends in the kernel in its own time; the node is closed once the last of the
// owner, the reader and the thread lets go of it.

#include <atomic>
#include <memory>
#include <span>
#include <thread>

#include "platform/hid/hid_host.h"
#include "platform/unique_fd.h"

namespace platform {

// What the node's reader, writer and owner share.
struct HidNodeShared {
  UniqueFd node;
  UniqueFd cancelled;  // an eventfd, signalled once by Cancel and never reset: waits on the node end
  // From any thread: every wait on the node ends, and every later transfer is Cancelled.
  void Cancel() const;
  bool Cancelled() const;
};

class NodeWriter {
 public:
  explicit NodeWriter(std::shared_ptr<HidNodeShared> shared);
  // Ends the thread; one still inside a kernel write is left to finish it on its own.
  ~NodeWriter();
  NodeWriter(const NodeWriter&) = delete;
  NodeWriter& operator=(const NodeWriter&) = delete;

  // Writes report whole, waiting at most timeoutMs (without limit when negative), the wait for an
  // earlier write given up on included. TimedOut when the time passed, Cancelled after Cancel,
  // Failed when the node refused the report or is gone.
  HidTransfer Write(std::span<const uint8_t> report, int timeoutMs);

 private:
  struct State;
  std::shared_ptr<State> state_;
  std::thread thread_;  // started with the first write
};

}  // namespace platform
