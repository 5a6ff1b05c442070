#pragma once
// One running copy of a program per user session. Looking for the program's window is not enough on
// its own: two starts at the same moment both look before either window exists. So a start first
// takes the program's lock (held for the life of the process and let go by the system however the
// process ends); a start that cannot take it
// waits for the holder's window to appear and raises that.

#include <chrono>
#include <memory>
#include <string>

namespace platform {

class InstanceLock {
 public:
  // The lock of name in folder (the window registry's); nothing is taken yet.
  InstanceLock(std::string folder, std::string name);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Tries once, without waiting; true while held by this object.
  bool TryTake();
  bool Held() const { return held_; }
  // False when the lock cannot be made (a folder others can reach, say): then no lock exists.
  bool Usable();

 private:
  struct Handle;  // the platform's lock object

  std::string folder_;
  std::string name_;
  std::unique_ptr<Handle> handle_;
  bool held_ = false;
};

// What a start of a one-copy program does first. True: this start holds the lock and runs. False:
// another copy holds it; its window titled title was raised, or did not appear within wait, and this
// start ends. A holder that ends during the wait passes the lock on to this start. Without a usable
// lock it falls back to looking for the window alone.
bool ClaimSingleInstance(InstanceLock& lock, const std::string& title, std::chrono::milliseconds wait,
                         const std::string& folder);

}  // namespace platform
