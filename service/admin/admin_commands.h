#pragma once
// The administration commands of vymera-service: accounts, reminder counters, releases, the demo
// account. They work on the database directly, also while a server runs on it.

#include <ostream>
#include <string>
#include <vector>

#include "service/service_data.h"

namespace service {

// True for the names RunAdminCommand knows.
bool IsAdminCommand(const std::string& command);

// Runs one command; reports to out, problems to err. The exit code: 0 done, 1 refused or failed,
// 2 bad arguments.
int RunAdminCommand(const std::string& command, const std::vector<std::string>& arguments, ServiceData& data,
                    std::ostream& out, std::ostream& err);

}  // namespace service
