#pragma once
// The requests to end the program that come as signals (SIGTERM from a session manager or `kill`,
// SIGHUP when the session or terminal goes, SIGINT from Ctrl+C). By default each ends the process
// on the spot, in the middle of whatever it was writing; taken here, they become readable on a
// descriptor, so the program's loop can end it in order.

#include "platform/unique_fd.h"

namespace platform {

// Blocks the three signals for the calling thread and every thread it starts afterwards, and
// returns a descriptor they can be read from. Call before any thread is started. Invalid when the
// descriptor could not be made (the signals are then left as they were).
UniqueFd TakeTerminationSignals();

// Reads one pending request off fd without blocking: its signal number, or 0 when none is pending.
int ReadTerminationSignal(int fd);

}  // namespace platform
