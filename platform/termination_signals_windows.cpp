// What maps here is the console's control events: Ctrl+C and Ctrl+Break in the program's console,
// and the closing of that console, the user's logoff and the system's shutdown. A handler the system
// runs on a thread of its own writes the request's number to a pipe whose reading end the program
// watches: SIGINT for Ctrl+C and Ctrl+Break, SIGTERM for the others. The system ends a process as
// soon as the handler of a close, logoff or shutdown returns, so that handler waits until the
// program's loop has ended it in order (the system's own time limit still holds). A program with
// windows and no console learns of the session's end from its windows' messages (WM_QUERYENDSESSION,
// WM_ENDSESSION), which its window toolkit answers.
#include <windows.h>
// After windows.h.
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <csignal>

#include "platform/termination_signals.h"

namespace platform {
namespace {

constexpr unsigned kPipeBytes = 256;

// The writing end, for the handler; -1 while the requests are not taken.
std::atomic<int> writer{-1};

BOOL WINAPI OnControlEvent(DWORD event) {
  int fd = writer.load();
  if (fd < 0) return FALSE;
  int number = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? SIGINT : SIGTERM;
  if (_write(fd, &number, sizeof number) != sizeof number) return FALSE;
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) Sleep(INFINITE);
  return TRUE;
}

}  // namespace

UniqueFd TakeTerminationSignals() {
  int ends[2];
  if (_pipe(ends, kPipeBytes, _O_BINARY | _O_NOINHERIT) != 0) return {};
  int before = writer.exchange(ends[1]);
  if (before < 0 && !SetConsoleCtrlHandler(OnControlEvent, TRUE)) {
    writer.store(-1);
    _close(ends[0]);
    _close(ends[1]);
    return {};
  }
  // A second call takes the requests over; the first one's reader sees no more of them.
  if (before >= 0) _close(before);
  return UniqueFd(ends[0]);
}

int ReadTerminationSignal(int fd) {
  // The C runtime's pipes cannot be set not to block: what is waiting is asked of the pipe first.
  auto pipe = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD waiting = 0;
  if (pipe == INVALID_HANDLE_VALUE || !PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) return 0;
  int number = 0;
  if (waiting < sizeof number || _read(fd, &number, sizeof number) != sizeof number) return 0;
  return number;
}

}  // namespace platform
