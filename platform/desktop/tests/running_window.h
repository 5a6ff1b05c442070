#pragma once
// Another process with a titled window in the registry (the client's main window, say), standing
// until the object goes: what the programs that must not run beside the client are tested with.

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/desktop/window_registry.h"
#include "testing/child_status.h"

namespace testing_support {

class RunningWindow {
 public:
  RunningWindow(const std::string& registry, const std::string& title) {
    int ready[2], stop[2];
    if (pipe(ready) != 0 || pipe(stop) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(stop[1]);
      platform::WindowRegistry windows(registry);
      char ok = windows.Publish(title, [] {}) ? 'y' : 'n';
      (void)!write(ready[1], &ok, 1);
      // Serves until the test closes its end of the pipe, at most ten seconds.
      for (int i = 0; i < 1000; ++i) {
        windows.Serve();
        pollfd p{stop[0], POLLIN, 0};
        if (poll(&p, 1, 10) == 1) break;
      }
      _exit(0);
    }
    close(ready[1]);
    close(stop[0]);
    stop_ = stop[1];
    char ok = 0;
    ready_ = read(ready[0], &ok, 1) == 1 && ok == 'y';
    close(ready[0]);
  }
  ~RunningWindow() {
    if (stop_ >= 0) close(stop_);
    if (pid_ > 0) testing_support::ChildStatus(pid_);
  }
  RunningWindow(const RunningWindow&) = delete;
  RunningWindow& operator=(const RunningWindow&) = delete;
  bool Ready() const { return ready_; }

 private:
  pid_t pid_ = -1;
  int stop_ = -1;
  bool ready_ = false;
};

}  // namespace testing_support
