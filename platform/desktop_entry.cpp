#include "platform/desktop_entry.h"

namespace platform {
namespace {

bool HasControl(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// A string value: only the backslash needs escaping once line breaks are excluded.
std::string StringValue(std::string_view value) {
  std::string escaped;
  for (char c : value) {
    if (c == '\\') escaped.push_back('\\');
    escaped.push_back(c);
  }
  return escaped;
}

}  // namespace

std::string DesktopExecArgument(std::string_view argument) {
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
  return StringValue(quoted);
}

std::optional<std::string> DesktopEntryText(const DesktopEntry& entry) {
  if (entry.name.empty() || entry.program.empty()) return std::nullopt;
  bool control =
      HasControl(entry.name) || HasControl(entry.program) || HasControl(entry.folder) || HasControl(entry.icon);
  for (const std::string& a : entry.args) control = control || HasControl(a);
  for (const std::string& e : entry.extra) control = control || HasControl(e);
  if (control) return std::nullopt;

  std::string exec = DesktopExecArgument(entry.program);
  for (const std::string& a : entry.args) exec += " " + DesktopExecArgument(a);
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Version=1.0\n"
      "Name=" +
      StringValue(entry.name) +
      "\n"
      "Exec=" +
      exec + "\n";
  if (!entry.folder.empty()) text += "Path=" + StringValue(entry.folder) + "\n";
  if (!entry.icon.empty()) text += "Icon=" + StringValue(entry.icon) + "\n";
  text += "Terminal=false\n";
  for (const std::string& e : entry.extra) text += e + "\n";
  return text;
}

}  // namespace platform
