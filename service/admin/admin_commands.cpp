#include "service/admin/admin_commands.h"

#include "service/admin/commands.h"

namespace service {
namespace {

struct Command {
  const char* name;
  int (*run)(const Words&, ServiceData&, std::ostream&, std::ostream&);
};

constexpr Command kCommands[] = {
    {"create-account", CreateAccountCommand}, {"list-accounts", ListAccountsCommand},
    {"show-uploads", ShowUploadsCommand},     {"set-reminders", SetRemindersCommand},
    {"set-password", SetPasswordCommand},     {"publish", PublishCommand},
    {"seed-demo", SeedDemoCommand},
};

}  // namespace

bool IsAdminCommand(const std::string& command) {
  for (const Command& known : kCommands)
    if (command == known.name) return true;
  return false;
}

int RunAdminCommand(const std::string& command, const std::vector<std::string>& arguments, ServiceData& data,
                    std::ostream& out, std::ostream& err) {
  for (const Command& known : kCommands)
    if (command == known.name) return known.run(arguments, data, out, err);
  err << "unknown command " << command << "\n";
  return 2;
}

}  // namespace service
