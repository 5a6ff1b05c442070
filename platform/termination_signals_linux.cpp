// The requests are signals: SIGTERM from a session manager or `kill`, SIGHUP when the session or
// terminal goes, SIGINT from Ctrl+C. They are blocked and read from a signalfd; a request's number
// is its signal number.
#include "platform/termination_signals.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace platform {

UniqueFd TakeTerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int s : {SIGTERM, SIGHUP, SIGINT}) sigaddset(&signals, s);
  sigset_t before;
  if (pthread_sigmask(SIG_BLOCK, &signals, &before) != 0) return {};
  UniqueFd fd(signalfd(-1, &signals, SFD_NONBLOCK | SFD_CLOEXEC));
  if (!fd) pthread_sigmask(SIG_SETMASK, &before, nullptr);
  return fd;
}

int ReadTerminationSignal(int fd) {
  signalfd_siginfo info{};
  ssize_t n = ::read(fd, &info, sizeof info);
  return n == static_cast<ssize_t>(sizeof info) ? static_cast<int>(info.ssi_signo) : 0;
}

}  // namespace platform
