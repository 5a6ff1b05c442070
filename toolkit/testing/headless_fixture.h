#pragma once
// Tests of windows run against the headless backend, installed once per test executable; the
// fixture clears what one test could leave to the next (an idle handler, a pending quit).

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "toolkit/backend/headless/headless_backend.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/testing/headless.h"

namespace toolkit_testing {

inline toolkit::HeadlessBackend& Headless() { return toolkit::headless::Use(); }

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Headless().SetIdleHandler(nullptr);
    toolkit::Dispatcher::Instance().ClearQuit();
  }
  void TearDown() override {
    Headless().SetIdleHandler(nullptr);
    toolkit::Dispatcher::Instance().ClearQuit();
  }
  void Pump() { toolkit::Dispatcher::Instance().PumpPending(); }
  // Handles what comes until done holds (another thread may post meanwhile); false when limit
  // passed first.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
      if (std::chrono::steady_clock::now() > until) return false;
      Pump();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    Pump();
    return true;
  }
  void Advance(int64_t ms) {
    Headless().Advance(ms);
    Pump();
  }
};

}  // namespace toolkit_testing
