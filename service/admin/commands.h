#pragma once
// One function per administration command; see admin_commands.h for the exit codes.

#include <ostream>
#include <string>
#include <vector>

#include "service/service_data.h"

namespace service {

using Words = std::vector<std::string>;

int CreateAccountCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err);
int ListAccountsCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err);
int ShowUploadsCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err);
int SetRemindersCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err);
int SetPasswordCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err);
int PublishCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err);
int SeedDemoCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err);

}  // namespace service
