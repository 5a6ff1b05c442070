#pragma once
// A served desk on a socket in a private folder of its own, as vymera-sim runs it, for the tests of
// the programs' bridge backends.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <string>

#include "sim/bridge_server.h"
#include "sim/sim_commands.h"
#include "sim/sim_desk.h"
#include "testing/temp_folder.h"

namespace bridge_test {

inline int64_t MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

using testing_support::TempFolder;

struct ServedDesk {
  TempFolder folder;
  std::string socket = folder.File("vymera-sim.sock");
  sim::SimDesk desk;
  sim::DeskCommands commands{desk};
  sim::BridgeServer server{desk.Host(), desk.Tracker(), [this](const std::string& line) {
                             sim::CommandResult r = commands.Run(line);
                             return platform::bridge::CommandReply{r.ok, r.text};
                           }};

  ServedDesk() { Start(); }
  void Start() {
    std::string error;
    ASSERT_EQ(server.Start(socket, error), sim::BridgeServer::Started::Ok) << error;
  }
};

}  // namespace bridge_test
