#pragma once
// The requests to end the program that come from outside it (the session ending, a request from
// another process, Ctrl+C in its terminal). By default each ends the process on the spot, in the
// middle of whatever it was writing; taken here, they become readable on a descriptor, so the
// program's loop can end it in order.

#include "platform/unique_fd.h"

namespace platform {

// Takes the requests away from their default for the calling thread and every thread it starts
// afterwards, and returns a descriptor they can be read from. Call before any thread is started.
// Invalid when the descriptor could not be made (the requests are then left as they were).
UniqueFd TakeTerminationSignals();

// Reads one pending request off fd without blocking: its number (nonzero), or 0 when none is pending.
int ReadTerminationSignal(int fd);

}  // namespace platform
