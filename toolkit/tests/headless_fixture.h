#pragma once
// Every toolkit test runs against the headless backend, installed once per test executable.

#include <gtest/gtest.h>

#include "toolkit/backend/headless_backend.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/headless.h"

namespace toolkit_testing {

inline toolkit::HeadlessBackend& Headless() { return toolkit::headless::Use(); }
inline toolkit::HeadlessBackend& UnusedHeadless() {
  static toolkit::HeadlessBackend* backend = [] {
    auto owned = std::make_unique<toolkit::HeadlessBackend>();
    auto* raw = owned.get();
    toolkit::Dispatcher::Instance().SetBackend(std::move(owned));
    return raw;
  }();
  return *backend;
}

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
