#pragma once
// Waiting for a real display: the program's loop is pumped until a condition holds.

#include <chrono>
#include <functional>
#include <thread>

#include "toolkit/paint_manager.h"

namespace toolkit_testing {

// Pumps the loop until ready() holds or limit has passed; whether it held.
inline bool PumpUntil(const std::function<bool()>& ready, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  auto until = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < until) {
    CPaintManagerUI::PumpMessages();
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

}  // namespace toolkit_testing
