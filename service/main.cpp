// vymera-service: the reference web service of the Vymera client, and its administration.

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "service/admin/admin_commands.h"
#include "service/http_server.h"
#include "service/options.h"
#include "service/service_data.h"
#include "service/store/sqlite.h"

namespace {

// Serves until SIGINT or SIGTERM; the signals are taken synchronously, so shutdown runs as
// ordinary code that closes the database cleanly.
int Serve(const service::Options& options, service::ServiceData& data) {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  // Blocked before any thread starts, so every request thread inherits the mask.
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  service::HttpServer server(data, options.threads);
  std::string error;
  if (!server.Start(options.host, options.port, error, options.publicUrl)) {
    std::cerr << "vymera-service: " << error << "\n";
    return 1;
  }
  if (options.publicUrl.empty() && (options.host == "0.0.0.0" || options.host == "::")) {
    std::cerr << "vymera-service: links in answers name " << server.publicUrl()
              << ", which no client can reach; give --public-url" << std::endl;
  }
  std::cout << "vymera-service: serving http://" << server.address() << "/ as " << server.publicUrl() << "/ (database "
            << options.database << ", releases " << data.releaseFolder << "); Ctrl+C stops" << std::endl;
  int received = 0;
  sigwait(&signals, &received);
  server.Stop();
  std::cout << "vymera-service: stopped" << std::endl;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  auto options = service::ParseOptions(args, error);
  if (!options) {
    std::cerr << "vymera-service: " << error << "\n" << service::UsageText();
    return 2;
  }
  if (options->help) {
    std::cout << service::UsageText();
    return 0;
  }
  if (options->command != "serve" && !service::IsAdminCommand(options->command)) {
    std::cerr << "vymera-service: unknown command " << options->command << "\n" << service::UsageText();
    return 2;
  }
  service::Database database;
  if (!database.Open(options->database)) {
    std::cerr << "vymera-service: " << database.error() << "\n";
    return 1;
  }
  service::ServiceData data(database, options->releases);
  if (options->command == "serve") return Serve(*options, data);
  return service::RunAdminCommand(options->command, options->arguments, data, std::cout, std::cerr);
}
