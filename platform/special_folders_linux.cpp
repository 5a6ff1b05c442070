// The XDG base directories and user directories:
//   HomeFolder    $HOME when it is an absolute path;
//   DataHome      $XDG_DATA_HOME when absolute, else ~/.local/share;
//   ConfigHome    $XDG_CONFIG_HOME when absolute, else ~/.config;
//   DesktopFolder XDG_DESKTOP_DIR of user-dirs.dirs in the config folder (what xdg-user-dir DESKTOP
//                 reads), else the variable of that name, else ~/Desktop.
#include "platform/special_folders.h"

#include <cstdlib>
#include <string_view>

#include "platform/file_io.h"
#include "platform/paths.h"

namespace platform {
namespace {

// user-dirs.dirs is a few lines; anything much larger is not that file.
constexpr size_t kMaxUserDirsBytes = 64 * 1024;

std::string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (!value || *value != '/') return {};
  std::string path(value);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string UnderHome(const char* below) {
  std::string home = HomeFolder();
  return home.empty() ? std::string() : JoinPath(home, below);
}

// The value of XDG_DESKTOP_DIR in the shell-like file: "$HOME/..." or an absolute path, in double
// quotes. Anything the format does not allow counts as not set.
std::string DesktopFromUserDirs(std::string_view text) {
  constexpr std::string_view kKey = "XDG_DESKTOP_DIR=\"";
  std::string found;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    std::string_view line = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    start = end == std::string_view::npos ? text.size() : end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.substr(0, kKey.size()) != kKey) continue;
    line.remove_prefix(kKey.size());
    size_t quote = line.find('"');
    if (quote == std::string_view::npos) continue;
    std::string_view value = line.substr(0, quote);
    std::string path;
    if (value.substr(0, 5) == "$HOME") {
      std::string home = HomeFolder();
      if (home.empty()) continue;
      path = home + std::string(value.substr(5));
    } else if (!value.empty() && value.front() == '/') {
      path = std::string(value);
    } else {
      continue;
    }
    if (path.find('\\') != std::string::npos) continue;  // escapes are not worth guessing at
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    found = path;  // the last assignment wins, as in the shell
  }
  return found;
}

}  // namespace

std::string HomeFolder() { return AbsoluteVariable("HOME"); }

std::string DataHome() {
  std::string data = AbsoluteVariable("XDG_DATA_HOME");
  return data.empty() ? UnderHome(".local/share") : data;
}

std::string ConfigHome() {
  std::string config = AbsoluteVariable("XDG_CONFIG_HOME");
  return config.empty() ? UnderHome(".config") : config;
}

std::string DesktopFolder() {
  std::string config = ConfigHome();
  if (!config.empty()) {
    if (auto text = ReadWholeFile(JoinPath(config, "user-dirs.dirs"), kMaxUserDirsBytes)) {
      std::string desktop = DesktopFromUserDirs(*text);
      if (!desktop.empty()) return desktop;
    }
  }
  std::string variable = AbsoluteVariable("XDG_DESKTOP_DIR");
  return variable.empty() ? UnderHome("Desktop") : variable;
}

}  // namespace platform
