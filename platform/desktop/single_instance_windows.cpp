// The lock is a named mutex in the session's own namespace ("Local\"), and it is held by whoever
// made it: the object lives while any handle to it is open and the system closes a process's
// handles however the process ends, so a start that finds the object already there did not get the
// lock. Its existence, not the mutex's ownership, is the lock, because ownership passes again to
// the thread that owns it already, and a second lock of the same process must not be taken. The
// name carries the folder the lock was asked for, so that locks of different folders (a test's own,
// say) stay apart as the lock files of different folders do.
#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "platform/desktop/single_instance.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

// FNV-1a: a short, stable stand-in for a folder that may be longer than an object's name allows.
uint64_t NameHash(const std::string& text) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  return hash;
}

std::wstring MutexName(const std::string& folder, const std::string& name) {
  char scope[32];
  std::snprintf(scope, sizeof scope, "%016llx", static_cast<unsigned long long>(NameHash(folder)));
  std::string full = "Local\\Vymera." + std::string(scope) + "." + name;
  // A backslash after the namespace would name a namespace of its own.
  for (size_t i = sizeof "Local\\" - 1; i < full.size(); ++i) {
    if (full[i] == '\\') full[i] = '_';
  }
  return Widen(full);
}

}  // namespace

struct InstanceLock::Handle {
  ~Handle() {
    if (mutex) CloseHandle(mutex);
  }
  HANDLE mutex = nullptr;
};

InstanceLock::InstanceLock(std::string folder, std::string name)
    : folder_(std::move(folder)), name_(std::move(name)), handle_(std::make_unique<Handle>()) {}

InstanceLock::~InstanceLock() = default;

bool InstanceLock::Usable() {
  if (held_) return true;
  // Made and let go at once: whether the name can be had at all, nothing taken.
  HANDLE probe = CreateMutexW(nullptr, FALSE, MutexName(folder_, name_).c_str());
  if (!probe) return GetLastError() == ERROR_ACCESS_DENIED;  // another's object of that name: it exists
  CloseHandle(probe);
  return true;
}

bool InstanceLock::TryTake() {
  if (held_) return true;
  // Not inherited: a program this one starts (a browser, the updater) must not keep the lock.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName(folder_, name_).c_str());
  if (!mutex) return false;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  handle_->mutex = mutex;
  held_ = true;
  return true;
}

}  // namespace platform
