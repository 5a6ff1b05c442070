#include "platform/autostart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/file_io.h"
#include "platform/paths.h"

namespace platform {
namespace {

std::string AutostartFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && *config == '/') return JoinPath(config, "autostart");
  const char* home = std::getenv("HOME");
  if (home && *home) return JoinPath(JoinPath(home, ".config"), "autostart");
  return {};
}

bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string prefix = path.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) break;
  }
  return IsFolder(path);
}

// One argument of an Exec line: quoted when it holds a character the desktop-entry format reserves,
// then escaped as a string value (so a backslash inside quotes becomes four).
std::string ExecArgument(std::string_view argument) {
  constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string quoted;
  bool needsQuotes = argument.find_first_of(kReserved) != std::string_view::npos;
  if (needsQuotes) quoted.push_back('"');
  for (char c : argument) {
    if (needsQuotes && (c == '"' || c == '`' || c == '$' || c == '\\')) quoted.push_back('\\');
    if (c == '%') quoted.push_back('%');
    quoted.push_back(c);
  }
  if (needsQuotes) quoted.push_back('"');
  std::string escaped;
  for (char c : quoted) {
    if (c == '\\') escaped.push_back('\\');
    escaped.push_back(c);
  }
  return escaped;
}

}  // namespace

std::string AutostartEntryPath(std::string_view name) {
  std::string folder = AutostartFolder();
  if (folder.empty()) return {};
  return JoinPath(folder, std::string(name) + ".desktop");
}

bool WriteAutostartEntry(std::string_view name, std::string_view program, std::string_view argument) {
  std::string path = AutostartEntryPath(name);
  if (path.empty() || !MakeFolders(AutostartFolder())) return false;
  std::string entry = "[Desktop Entry]\n"
                      "Type=Application\n"
                      "Name=" + std::string(name) + "\n"
                      "Exec=" + ExecArgument(program) + " " + ExecArgument(argument) + "\n"
                      "Terminal=false\n"
                      "X-GNOME-Autostart-enabled=true\n";
  return WriteFileAtomically(path, entry);
}

bool RemoveAutostartEntry(std::string_view name) {
  std::string path = AutostartEntryPath(name);
  if (path.empty()) return false;
  return unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace platform
