#include "service/options.h"

#include <string_view>

#include "platform/paths.h"
#include "platform/program_data.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

// "host:port", with an IPv6 host in brackets.
bool ParseListen(const std::string& text, Options& options) {
  size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  std::string host = text.substr(0, colon);
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return false;
    host = host.substr(1, host.size() - 2);
  }
  auto port = ParseUnsigned(text.substr(colon + 1), 65535);
  if (!port) return false;
  options.host = host;
  options.port = static_cast<int>(*port);
  return true;
}

// An absolute http or https URL of printable characters that may stand in a link as they are,
// without query or fragment; its trailing slashes are dropped, so that paths join on with one.
std::optional<std::string> ParsePublicUrl(std::string text) {
  constexpr size_t kMaxLength = 200;
  size_t scheme = text.rfind("http://", 0) == 0 ? 7 : text.rfind("https://", 0) == 0 ? 8 : 0;
  if (scheme == 0 || text.size() > kMaxLength) return std::nullopt;
  for (unsigned char c : text) {
    if (c <= ' ' || c >= 0x7F || std::string_view("\"'<>\\`{}|^#?").find(static_cast<char>(c)) != std::string_view::npos) {
      return std::nullopt;
    }
  }
  while (text.size() > scheme && text.back() == '/') text.pop_back();
  size_t hostEnd = text.find('/', scheme);
  if (text.size() == scheme || hostEnd == scheme) return std::nullopt;
  return text;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
  Options options;
  size_t i = 0;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
    const std::string& name = args[i];
    if (name == "--help") {
      options.help = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      error = "option " + name + " needs a value";
      return std::nullopt;
    }
    const std::string& value = args[++i];
    if (name == "--listen") {
      if (!ParseListen(value, options)) {
        error = "--listen wants HOST:PORT, e.g. 127.0.0.1:8360, not \"" + value + "\"";
        return std::nullopt;
      }
    } else if (name == "--public-url") {
      auto url = ParsePublicUrl(value);
      if (!url) {
        error = "--public-url wants an http or https address, e.g. https://updates.example.org, not \"" + value + "\"";
        return std::nullopt;
      }
      options.publicUrl = *url;
    } else if (name == "--db") {
      options.database = value;
    } else if (name == "--releases") {
      options.releases = value;
    } else if (name == "--threads") {
      auto threads = ParseUnsigned(value, 1024);
      if (!threads || *threads == 0) {
        error = "--threads wants a number from 1 to 1024";
        return std::nullopt;
      }
      options.threads = static_cast<int>(*threads);
    } else {
      error = "unknown option " + name;
      return std::nullopt;
    }
  }
  if (i < args.size()) options.command = args[i++];
  options.arguments.assign(args.begin() + static_cast<long>(i), args.end());
  std::string folder = DefaultDataFolder(platform::ExecutableFolder());
  if (options.database.empty()) options.database = platform::JoinPath(folder, "vymera-service.db");
  if (options.releases.empty()) options.releases = platform::JoinPath(folder, "releases");
  return options;
}

std::string DefaultDataFolder(const std::string& programFolder) {
  return platform::MayWriteBeside(programFolder) ? programFolder : kSystemDataFolder;
}

std::string UsageText() {
  return R"(usage: vymera-service [options] [command [arguments]]

Runs the reference web service of the Vymera client, or administers its database.

options:
  --listen HOST:PORT   address to serve on (default 127.0.0.1:8360)
  --public-url URL     where clients reach the service, for the links in answers such as the
                       release address (default http:// and the listen address)
  --db FILE            database file (default vymera-service.db beside the program, or in
                       /var/lib/vymera-service when the program's folder is the system's)
  --releases DIR       folder of published releases (default releases in that same folder)
  --threads N          requests answered at once (default 64)
  --help               this text

commands:
  serve                run the service until interrupted (the default)
  create-account --account EMAIL --password PW --name NAME [--level N] [--sex N] [--age N]
                 [--height CM] [--weight KG] [--stepvalue CM] [--task VALUE:UNIT]... [--head IMAGE]
  list-accounts        accounts with their devices
  show-uploads ACCOUNT weights and step days of one account
  set-reminders ACCOUNT [--fri N] [--ivi N] [--msg N] [--reshare N] [--notice N]
  set-password ACCOUNT PASSWORD
  publish VERSION FILE [--force] [--key PRIVATE_KEY.pem | --unsigned]
                       copy FILE into the release folder and offer it as VERSION (a.b.c.d),
                       signed with the key given or this build's developer key
  seed-demo            create the demo account demo@example.com with password demo123
)";
}

}  // namespace service
