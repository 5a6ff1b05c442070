// Programs started with posix_spawn in a session of their own (setsid), so that the end of the
// starting program's session or terminal does not end them.
#include "platform/process.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

// posix_spawn's two parameter blocks, released whatever happens.
class SpawnSetup {
 public:
  SpawnSetup() : ok_(posix_spawn_file_actions_init(&actions_) == 0 && posix_spawnattr_init(&attributes_) == 0) {}
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  bool Prepare(const std::string& folder) {
    // A program that took its termination signals for itself must not hand them down blocked: the
    // child starts with none blocked and those it may meet at their defaults.
    sigset_t none, all;
    sigemptyset(&none);
    sigemptyset(&all);
    for (int s : {SIGTERM, SIGHUP, SIGINT, SIGPIPE}) sigaddset(&all, s);
    return ok_ && posix_spawn_file_actions_addchdir_np(&actions_, folder.c_str()) == 0 &&
           posix_spawnattr_setsigmask(&attributes_, &none) == 0 && posix_spawnattr_setsigdefault(&attributes_, &all) == 0 &&
           posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
  }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }
  const posix_spawnattr_t* attributes() const { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
  bool ok_;
};

}  // namespace

bool StartProgram(const std::string& path, const std::string& folder) {
  if (path.empty() || access(path.c_str(), X_OK) != 0) return false;
  SpawnSetup setup;
  if (!setup.Prepare(folder)) return false;
  char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
  pid_t child = 0;
  // glibc reports a failed exec (not a program, bad folder) as posix_spawn's own result.
  if (posix_spawn(&child, path.c_str(), setup.actions(), setup.attributes(), argv, environ) != 0) return false;
  // The programs that start another one end soon after, and the child then belongs to init.
  return true;
}

}  // namespace platform
