// The session's entries are XDG autostart desktop files: "<name>.desktop" in
// $XDG_CONFIG_HOME/autostart (~/.config/autostart when that is not set).
#include "platform/autostart.h"

#include <unistd.h>

#include <cerrno>

#include "platform/desktop_entry.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/special_folders.h"

namespace platform {
namespace {

std::string AutostartFolder() {
  std::string config = ConfigHome();
  return config.empty() ? std::string() : JoinPath(config, "autostart");
}

}  // namespace

std::string AutostartEntryPath(std::string_view name) {
  std::string folder = AutostartFolder();
  if (folder.empty()) return {};
  return JoinPath(folder, std::string(name) + ".desktop");
}

bool WriteAutostartEntry(std::string_view name, std::string_view program, std::string_view argument) {
  std::string path = AutostartEntryPath(name);
  if (path.empty() || !MakeFolderTree(AutostartFolder(), 0700)) return false;
  DesktopEntry entry;
  entry.name = std::string(name);
  entry.program = std::string(program);
  entry.args = {std::string(argument)};
  entry.extra = {"X-GNOME-Autostart-enabled=true"};
  auto text = DesktopEntryText(entry);
  return text && WriteFileAtomically(path, *text);
}

bool HasAutostartEntry(std::string_view name) {
  std::string path = AutostartEntryPath(name);
  return !path.empty() && PathExists(path);
}

bool AutostartEntryStarts(std::string_view name, std::string_view program) {
  constexpr size_t kMaxEntryBytes = 64 << 10;
  std::string path = AutostartEntryPath(name);
  std::optional<std::string> text = path.empty() ? std::nullopt : ReadWholeFile(path, kMaxEntryBytes);
  std::string exec = "\nExec=" + DesktopExecArgument(program) + " ";
  return text && text->find(exec) != std::string::npos;
}

bool RemoveAutostartEntry(std::string_view name) {
  std::string path = AutostartEntryPath(name);
  if (path.empty()) return false;
  return unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace platform
