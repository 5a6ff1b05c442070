#pragma once
// The command line of vymera-service: where it listens and keeps its files, and which command runs.

#include <optional>
#include <string>
#include <vector>

namespace service {

inline constexpr int kDefaultPort = 8360;

struct Options {
  std::string host = "127.0.0.1";
  int port = kDefaultPort;
  // Where clients reach the service ("https://updates.example.org", no trailing slash): the start
  // of the links in answers. Empty: "http://" and the listening address.
  std::string publicUrl;
  // Both default to DefaultDataFolder: "vymera-service.db" and the "releases" folder there.
  std::string database;
  std::string releases;
  int threads = 64;
  std::string command = "serve";
  std::vector<std::string> arguments;  // what follows the command
  bool help = false;
};

// Reads the options before the command, then the command and its arguments. Nothing, with error
// set, for an unknown option, a missing value or a value that is not valid.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// Where the service keeps its files when no option names them: beside the program, or, for a
// program the system installed (its folder not writable, see platform::MayWriteBeside), the
// system's folder for the service's state.
inline constexpr const char* kSystemDataFolder = "/var/lib/vymera-service";
std::string DefaultDataFolder(const std::string& programFolder);

// The usage text printed by --help.
std::string UsageText();

}  // namespace service
