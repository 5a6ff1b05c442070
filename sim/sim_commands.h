#pragma once
// The command language of vymera-sim: one line, as typed at its standard input or given on the
// command line of a second vymera-sim, changes what the devices on the desk hold or report.
// Numbers and dates are read the same whatever the locale: a point before decimals, ISO dates.

#include <string>

#include "sim/sim_desk.h"

namespace sim {

struct CommandResult {
  bool ok = false;
  std::string text;   // what to print, ending with a line break
  bool quit = false;  // the simulator is asked to end
};

class DeskCommands {
 public:
  explicit DeskCommands(SimDesk& desk) : desk_(desk) {}

  // Runs one line; an empty line does nothing and succeeds.
  CommandResult Run(const std::string& line);

  // The commands with their arguments, one per line.
  static const char* Summary();

 private:
  SimDesk& desk_;
};

}  // namespace sim
