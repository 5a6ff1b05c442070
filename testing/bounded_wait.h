#pragma once
// Waits in tests end: each has a deadline, and a test that waits in vain fails instead of hanging.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace testing_support {

// How long a test waits for something another thread or process does, unless it says otherwise: long
// enough for a loaded machine, short enough that a broken test fails in seconds.
inline constexpr std::chrono::milliseconds kWaitBound{10'000};

// Polls done every few milliseconds until it is true (true) or the bound has passed (false).
template <typename Done>
bool WaitUntil(Done done, std::chrono::milliseconds bound = kWaitBound) {
  auto until = std::chrono::steady_clock::now() + bound;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace testing_support
