#pragma once
// Tests of windows run against the headless backend, installed once per test executable; the
// fixture clears what one test could leave to the next (an idle handler, a pending quit).

#include <gtest/gtest.h>

#include "toolkit/backend/headless_backend.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/headless.h"

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
  void Advance(int64_t ms) {
    Headless().Advance(ms);
    Pump();
  }
};

}  // namespace toolkit_testing
